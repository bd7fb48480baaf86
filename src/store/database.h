// The program's one ODBC connection to its Access file "flash.mdb".
// Written against the ODBC API only, so it builds with odbc32 and unixODBC alike.
// Nothing throws: failures come back as false, null, 0 or empty values.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "runtime/files.h"

namespace ql {

// A statement handle with its result set; owned by the caller until freeCursor.
using QueryCursor = void*;

// Up to five byte arrays bound as parameters 1..5; a null entry is "not given".
struct BlobArgs {
  const Bytes* items[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
};

class Database {
 public:
  Database();
  virtual ~Database();
  Database(const Database&) = delete;  // the handles have one owner
  Database& operator=(const Database&) = delete;

  virtual void* connectionHandle() const;
  virtual void* setConnectionHandle(void* handle);
  virtual bool connect(const std::string& connectionString);
  virtual bool openAccess(const std::string& path, const std::string& password);
  // The name of the Access ODBC driver this process opens data files with.
  std::string accessDriver() const;
  virtual bool openSqlServer(const std::string& server, const std::string& database,
                             const std::string& user, const std::string& password);
  virtual bool close();
  virtual bool execute(const std::string& sql, long* rowCount = nullptr);
  virtual bool executeWithBlobs(const std::string& sql, long* rowCount, const BlobArgs& blobs);
  // Runs `sql` with `text` bound as its one parameter, a long text: the text
  // never becomes part of the statement, which the Access driver refuses
  // beyond about 64,000 characters. True only for plain success.
  virtual bool executeWithText(const std::string& sql, const std::string& text,
                               long* rowCount = nullptr);
  // cursorType < 0: the default, keyset-driven (1).
  virtual QueryCursor query(const std::string& sql, int cursorType = -1);
  virtual QueryCursor prepare(const std::string& sql, int cursorType = -1);
  virtual bool executePrepared(QueryCursor statement);
  virtual bool bindBlobParameter(QueryCursor statement, int number, const Bytes& bytes);
  virtual bool freeCursor(QueryCursor cursor);
  virtual bool next(QueryCursor cursor);
  virtual bool previous(QueryCursor cursor);
  virtual bool first(QueryCursor cursor);
  virtual bool last(QueryCursor cursor);
  virtual bool moveTo(QueryCursor cursor, long row);
  virtual int columnIndex(QueryCursor cursor, const std::string& name);
  virtual std::string textByName(QueryCursor cursor, const std::string& name);
  virtual Bytes bytesByName(QueryCursor cursor, const std::string& name);
  virtual int intByName(QueryCursor cursor, const std::string& name);
  virtual float floatByName(QueryCursor cursor, const std::string& name);
  virtual double doubleByName(QueryCursor cursor, const std::string& name);
  // The column's text; false, with `out` empty, when it could not be read
  // (no such column, no current record, a driver error). NULL reads as "".
  bool readText(QueryCursor cursor, int index, std::string& out);
  virtual std::string textAt(QueryCursor cursor, int index);
  virtual Bytes bytesAt(QueryCursor cursor, int index);
  virtual int intAt(QueryCursor cursor, int index);
  virtual float floatAt(QueryCursor cursor, int index);
  virtual double doubleAt(QueryCursor cursor, int index);
  virtual std::string columnName(QueryCursor cursor, int index);
  virtual int columnCount(QueryCursor cursor);
  virtual int columnType(QueryCursor cursor, int index);
  virtual unsigned long columnSize(QueryCursor cursor, int index);
  virtual bool columnNullable(QueryCursor cursor, int index);
  virtual int count(const std::string& table, const std::string* condition = nullptr);
  virtual bool beginTransaction();
  virtual bool rollback();
  virtual bool commit();
  virtual bool setTimeout(unsigned long seconds);
  virtual unsigned long timeout();
  virtual int lastErrors(std::string& states, std::string& messages);
  virtual bool insert(const std::string& table, const std::string& columns,
                      const std::string& values);
  virtual bool insertBlob(const std::string& table, const std::string& columns, const Bytes& bytes);
  virtual bool update(const std::string& table, const std::string& assignments,
                      const std::string& condition);
  virtual bool deleteRows(const std::string& table, const std::string& condition);
  virtual bool updateBlob(const std::string& table, const std::string& assignments,
                          const std::string& condition, const Bytes& bytes);
  virtual bool exists(const std::string& table, const std::string& condition);
  virtual std::string lookupText(const std::string& table, const std::string& condition,
                                 const std::string& column);
  virtual bool deleteDuplicates(const std::string& table, const std::string& groupColumns,
                                const std::string& keptRowExpression, const std::string& keyColumn);
  virtual int selectDuplicateRows(const std::string& table, const std::string& columns);
  virtual int selectDuplicates(const std::string& table, const std::string& column);

  // A text as an SQL string literal: in single quotes, its own quotes doubled.
  static std::string literal(const std::string& text);

  // The SQL each statement builder runs.
  static std::string countSql(const std::string& table, const std::string* condition);
  static std::string insertSql(const std::string& table, const std::string& columns,
                               const std::string& values);
  static std::string insertBlobSql(const std::string& table, const std::string& columns);
  static std::string updateSql(const std::string& table, const std::string& assignments,
                               const std::string& condition);
  static std::string deleteSql(const std::string& table, const std::string& condition);
  static std::string lookupSql(const std::string& table, const std::string& condition);
  static std::string deleteDuplicatesSql(const std::string& table, const std::string& groupColumns,
                                         const std::string& keptRowExpression,
                                         const std::string& keyColumn);
  static std::string selectDuplicateRowsSql(const std::string& table, const std::string& columns);
  static std::string selectDuplicatesSql(const std::string& table, const std::string& column);

 private:
  bool endTransaction(short completionType);
  bool allocConnection();

  void* environment_ = nullptr;
  void* connection_ = nullptr;
  // Length indicators of parameters bound by bindBlobParameter: ODBC reads
  // them at execute time, so they must outlive the bind call.
  std::map<std::pair<void*, int>, std::intptr_t> boundLengths_;
};

}  // namespace ql
