// The statements both databases run alike ($n parameters: PostgreSQL numbers
// them, SQLite binds them in the order they first appear).
#pragma once

#include <string>

#include "server/storage.h"

inline constexpr const char* kCountRefusalSql =
    "UPDATE tokens SET refusals = refusals + 1, spent = CASE WHEN refusals + 1 >= $1 THEN 1 ELSE 0 END "
    "WHERE token = $2 AND spent = 0";

// How many runs stand before a run of this score accepted at this time.
inline constexpr const char* kRankSql =
    "SELECT COUNT(*) FROM runs WHERE score > $1 OR (score = $1 AND (accepted_at < $2 OR "
    "(accepted_at = $2 AND id < $3)))";

inline constexpr const char* kBestRunsSql =
    "SELECT id, name, score, wave, steps, accepted_at FROM runs ORDER BY score DESC, accepted_at, id "
    "LIMIT $1 OFFSET $2";

// Runs keep their tokens; the others go once they are long expired.
inline constexpr const char* kForgetTokensSql =
    "DELETE FROM tokens WHERE issued_at < $1 AND NOT EXISTS (SELECT 1 FROM runs WHERE runs.token = tokens.token)";

// A database a newer server has migrated is not touched.
inline void CheckSchemaVersion(int version) {
  if (version > kSchemaVersion || version < 0)
    throw StorageError("the database has schema version " + std::to_string(version) +
                       ", which this server does not know (it knows up to " + std::to_string(kSchemaVersion) + ")");
}
