#pragma once
// Brings an older agency database up to the program's schema version.

namespace db { class Connection; }

bool RunSchemaUpgrade(db::Connection& conn, bool isAccess);
