// Making a new "flash.mdb" through the Access driver: the empty file, its
// password, the configuration table with its one record and the catalogue.
#pragma once
#include <string>

#include "movie_folder.h"
#include "runtime/files.h"

namespace ql {
class Database;
}

// A new, empty Access file (the driver's CREATE_DB). False when the file
// exists already or the driver refuses; `error` then says why.
bool createAccessFile(const std::string& path, std::string& error);

// Gives the new file its password. Only the Access format has one: under the
// Linux stand-in (a SQLite file) there is nothing to set, and that is no error.
bool setAccessPassword(const std::string& path, const std::string& password, std::string& error);

// "配置表" with record 编号=1 and three empty texts, and an empty "动画表".
bool createTables(ql::Database& db);

// Stores one configuration text (1 to 3) into record 编号=1 byte for byte.
bool storeConfigText(ql::Database& db, int field, const ql::Bytes& text);

// Adds one catalogue entry with the movie's bytes.
bool storeMovie(ql::Database& db, const MovieFile& movie, const ql::Bytes& bytes);
