// The public page: the best runs as a plain HTML table, readable without any
// script and on a phone's width.
#pragma once

#include <string>
#include <vector>

#include "server/storage.h"

// How many runs the page shows.
constexpr int kPageRuns = 100;

// Text made safe for an HTML element or a quoted attribute.
std::string EscapeHtml(const std::string& text);

std::string RenderScorePage(const std::vector<ListedRun>& runs);
