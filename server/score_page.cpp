#include "server/score_page.h"

#include "server/server_log.h"

std::string EscapeHtml(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

namespace {

// Dark like the game's sky; the table narrows on a phone by dropping the
// time of day and tightening its cells.
constexpr const char* kHead = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Ve Varn Holt - online scores</title>
<style>
body { margin: 0; background: #0b1026; color: #e6e9f5; font: 16px/1.4 system-ui, sans-serif; }
main { max-width: 46rem; margin: 0 auto; padding: 1rem; }
h1 { font-size: 1.6rem; margin: 0.5rem 0; color: #ffd166; letter-spacing: 0.02em; }
h1 span { color: #e6e9f5; font-weight: normal; }
p { color: #aab2d5; margin: 0.4rem 0 1rem; }
table { width: 100%; border-collapse: collapse; font-variant-numeric: tabular-nums; }
th, td { padding: 0.35rem 0.5rem; text-align: left; }
th { color: #ffd166; border-bottom: 2px solid #2c3564; font-weight: 600; }
tbody tr:nth-child(odd) { background: #121a3a; }
td.name { white-space: pre-wrap; overflow-wrap: anywhere; font-family: ui-monospace, monospace; }
td.date { white-space: nowrap; }
.rank, .score, .wave { text-align: right; }
td.score { color: #7bdff2; font-weight: 600; }
a { color: #b8f2e6; }
.empty { padding: 2rem 0; text-align: center; }
@media (max-width: 540px) {
  body { font-size: 14px; }
  main { padding: 0.5rem; }
  th, td { padding: 0.3rem 0.25rem; }
  .time { display: none; }
}
</style>
</head>
<body>
<main>
<h1>Ve Varn Holt <span>online scores</span></h1>
<p>The best 100 games. The server played each of them again from its recorded keys before it listed it;
download a replay and watch it with <code>vevarnholt --replay FILE</code>.</p>
)";

constexpr const char* kTableHead =
    "<table>\n<thead><tr><th class=\"rank\">#</th><th class=\"name\">Name</th><th class=\"score\">Score</th>"
    "<th class=\"wave\">Wave</th><th class=\"date\">Date</th><th class=\"replay\">Replay</th></tr></thead>\n<tbody>\n";

}  // namespace

std::string RenderScorePage(const std::vector<ListedRun>& runs) {
  std::string page = kHead;
  if (runs.empty()) {
    page += "<p class=\"empty\">No scores yet: be the first.</p>\n";
  } else {
    page += kTableHead;
    for (const ListedRun& run : runs) {
      const std::string date = IsoDate(run.acceptedAtMs);
      const std::string id = std::to_string(run.id);
      page += "<tr><td class=\"rank\">" + std::to_string(run.rank) + "</td><td class=\"name\">" +
              EscapeHtml(run.name) + "</td><td class=\"score\">" + std::to_string(run.score) +
              "</td><td class=\"wave\">" + std::to_string(run.wave) + "</td><td class=\"date\"><time datetime=\"" +
              date + "\">" + date.substr(0, 10) + "<span class=\"time\"> " + date.substr(11, 5) +
              "</span></time></td><td class=\"replay\"><a href=\"/runs/" + id + ".replay\" download=\"vevarnholt-run-" +
              id + ".replay\">replay</a></td></tr>\n";
    }
    page += "</tbody>\n</table>\n";
  }
  page += "</main>\n</body>\n</html>\n";
  return page;
}
