#include "store/database.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

#include <cstring>
#include <vector>

#include "runtime/text.h"
#include "store/access_driver.h"

namespace ql {

static_assert(sizeof(SQLLEN) == sizeof(std::intptr_t), "SQLLEN is pointer-sized");

namespace {

SQLHSTMT stmt(QueryCursor cursor) { return static_cast<SQLHSTMT>(cursor); }

SQLCHAR* sqlText(const std::string& s) {
  return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s.c_str()));
}

bool fetch(QueryCursor cursor, SQLSMALLINT orientation, SQLLEN offset) {
  if (!cursor) return false;
  return SQLFetchScroll(stmt(cursor), orientation, offset) == SQL_SUCCESS;
}

void setCursorType(SQLHSTMT statement, int cursorType) {
  SQLULEN type = cursorType < 0 ? SQL_CURSOR_KEYSET_DRIVEN : static_cast<SQLULEN>(cursorType);
  SQLSetStmtAttr(statement, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(type), 0);
}

// Allocation "with information" still hands out a handle that must be used
// and freed like any other.
SQLHSTMT allocStatement(void* connection) {
  SQLHSTMT statement = SQL_NULL_HSTMT;
  SQLRETURN rc = SQLAllocHandle(SQL_HANDLE_STMT, connection, &statement);
  return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO ? statement : SQL_NULL_HSTMT;
}

// Reads one column in pieces: the driver tells in the indicator how much is
// left, and the next piece gets a buffer of that size. True when the value
// was read (NULL reads as empty); false, with `out` empty, when it could not be.
template <typename Out>
bool readPieces(QueryCursor cursor, int index, SQLSMALLINT cType, SQLLEN firstSize, Out& out) {
  out.clear();
  if (!cursor || index < 0) return false;
  SQLLEN size = firstSize;
  std::vector<char> buffer;
  for (bool firstPiece = true;; firstPiece = false) {
    buffer.assign(static_cast<size_t>(size), '\0');
    SQLLEN indicator = 0;
    SQLRETURN rc = SQLGetData(stmt(cursor), static_cast<SQLUSMALLINT>(index + 1), cType,
                              buffer.data(), size, &indicator);
    // Some drivers end a value handed out in pieces with "no data" after
    // the last piece rather than with plain success on it.
    if (rc == SQL_NO_DATA && !firstPiece) return true;
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) {
      out.clear();
      return false;
    }
    if (indicator == SQL_NULL_DATA) return true;
    SQLLEN room = cType == SQL_C_CHAR ? size - 1 : size;
    SQLLEN piece = (indicator == SQL_NO_TOTAL || indicator > room) ? room : indicator;
    if (piece < 0) piece = 0;
    if (cType == SQL_C_CHAR) {
      piece = static_cast<SQLLEN>(strnlen(buffer.data(), static_cast<size_t>(piece)));
    }
    out.insert(out.end(), buffer.data(), buffer.data() + piece);
    // A truncated piece that brought nothing would repeat for ever.
    if (rc != SQL_SUCCESS_WITH_INFO || piece == 0) return true;
    // An unknown remainder (SQL_NO_TOTAL) grows the buffer instead.
    size = indicator > 0 ? indicator : size * 2;
    if (cType == SQL_C_CHAR && size < 2) size = 2;
  }
}

}  // namespace

Database::Database() {
  SQLHENV env = SQL_NULL_HENV;
  if (SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env) == SQL_SUCCESS ||
      env != SQL_NULL_HENV) {
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    environment_ = env;
  }
}

Database::~Database() {
  if (connection_) {
    close();
    // A connection that would not disconnect still has its handle.
    if (connection_) SQLFreeHandle(SQL_HANDLE_DBC, connection_);
  }
  if (environment_) SQLFreeHandle(SQL_HANDLE_ENV, environment_);
}

void* Database::connectionHandle() const { return connection_; }

void* Database::setConnectionHandle(void* handle) {
  connection_ = handle;
  return connection_;
}

bool Database::allocConnection() {
  if (connection_) return true;
  if (!environment_) return false;
  SQLHDBC dbc = SQL_NULL_HDBC;
  SQLRETURN rc = SQLAllocHandle(SQL_HANDLE_DBC, environment_, &dbc);
  if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) return false;
  connection_ = dbc;
  return true;
}

bool Database::connect(const std::string& connectionString) {
  if (!allocConnection()) return false;
  SQLCHAR completed[1024];
  SQLSMALLINT completedLength = 0;
  SQLRETURN rc = SQLDriverConnect(connection_, nullptr, sqlText(connectionString),
                                  static_cast<SQLSMALLINT>(connectionString.size()), completed,
                                  sizeof completed, &completedLength, SQL_DRIVER_NOPROMPT);
  return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

bool Database::openAccess(const std::string& path, const std::string& password) {
  return connect("DBQ=" + path + ";Pwd=" + password + ";DRIVER={" + accessDriver() + "};");
}

std::string Database::accessDriver() const {
  return accessDriverName(environment_);
}

bool Database::openSqlServer(const std::string& server, const std::string& database,
                             const std::string& user, const std::string& password) {
  return connect("driver={sql server};server=" + server + ";database=" + database + ";uid=" +
                 user + ";pwd=" + password);
}

bool Database::close() {
  if (!connection_) return false;
  if (SQLDisconnect(connection_) != SQL_SUCCESS) return false;
  SQLFreeHandle(SQL_HANDLE_DBC, connection_);
  connection_ = nullptr;
  return true;
}

bool Database::execute(const std::string& sql, long* rowCount) {
  if (!connection_) return false;
  SQLHSTMT statement = allocStatement(connection_);
  if (!statement) return false;
  SQLRETURN rc = SQLExecDirect(statement, sqlText(sql), static_cast<SQLINTEGER>(sql.size()));
  if (rowCount) {
    SQLLEN rows = 0;
    SQLRowCount(statement, &rows);
    *rowCount = static_cast<long>(rows);
  }
  SQLFreeHandle(SQL_HANDLE_STMT, statement);
  return rc == SQL_SUCCESS;
}

bool Database::executeWithBlobs(const std::string& sql, long* rowCount, const BlobArgs& blobs) {
  if (!connection_) return false;
  SQLHSTMT statement = allocStatement(connection_);
  if (!statement) return false;
  if (SQLPrepare(statement, sqlText(sql), SQL_NTS) != SQL_SUCCESS) {
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    return false;
  }
  SQLLEN lengths[5] = {0, 0, 0, 0, 0};
  for (int i = 0; i < 5 && blobs.items[i]; ++i) {
    const Bytes& bytes = *blobs.items[i];
    lengths[i] = static_cast<SQLLEN>(bytes.size());
    SQLBindParameter(statement, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, SQL_C_BINARY,
                     SQL_LONGVARBINARY, bytes.size(), 0,
                     const_cast<uint8_t*>(bytes.data()), lengths[i], &lengths[i]);
  }
  SQLRETURN rc = SQLExecute(statement);
  if (rowCount) {
    SQLLEN rows = 0;
    SQLRowCount(statement, &rows);
    *rowCount = static_cast<long>(rows);
  }
  SQLFreeHandle(SQL_HANDLE_STMT, statement);
  return rc == SQL_SUCCESS;
}

bool Database::executeWithText(const std::string& sql, const std::string& text, long* rowCount) {
  if (!connection_) return false;
  SQLHSTMT statement = allocStatement(connection_);
  if (!statement) return false;
  SQLRETURN rc = SQLPrepare(statement, sqlText(sql), SQL_NTS);
  if (rc == SQL_SUCCESS) {
    // A long text parameter: the driver takes the whole text from the buffer.
    SQLLEN length = static_cast<SQLLEN>(text.size());
    rc = SQLBindParameter(statement, 1, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_LONGVARCHAR,
                          text.empty() ? 1 : text.size(), 0, const_cast<char*>(text.data()),
                          length, &length);
    rc = SQL_SUCCEEDED(rc) ? SQLExecute(statement) : SQL_ERROR;
    if (rowCount) {
      SQLLEN rows = 0;
      SQLRowCount(statement, &rows);
      *rowCount = static_cast<long>(rows);
    }
  }
  SQLFreeHandle(SQL_HANDLE_STMT, statement);
  return rc == SQL_SUCCESS;
}

QueryCursor Database::query(const std::string& sql, int cursorType) {
  if (!connection_) return nullptr;
  SQLHSTMT statement = allocStatement(connection_);
  if (!statement) return nullptr;
  setCursorType(statement, cursorType);
  if (SQLExecDirect(statement, sqlText(sql), static_cast<SQLINTEGER>(sql.size())) != SQL_SUCCESS) {
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    return nullptr;
  }
  first(statement);
  return statement;
}

QueryCursor Database::prepare(const std::string& sql, int cursorType) {
  if (!connection_) return nullptr;
  SQLHSTMT statement = allocStatement(connection_);
  if (!statement) return nullptr;
  setCursorType(statement, cursorType);
  if (SQLPrepare(statement, sqlText(sql), SQL_NTS) != SQL_SUCCESS) {
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    return nullptr;
  }
  return statement;
}

bool Database::executePrepared(QueryCursor statement) {
  return statement && SQLExecute(stmt(statement)) == SQL_SUCCESS;
}

bool Database::bindBlobParameter(QueryCursor statement, int number, const Bytes& bytes) {
  if (!statement || number < 1) return false;
  std::intptr_t& length = boundLengths_[{statement, number}];
  length = static_cast<std::intptr_t>(bytes.size());
  SQLRETURN rc = SQLBindParameter(stmt(statement), static_cast<SQLUSMALLINT>(number),
                                  SQL_PARAM_INPUT, SQL_C_BINARY, SQL_LONGVARBINARY, bytes.size(),
                                  0, const_cast<uint8_t*>(bytes.data()),
                                  static_cast<SQLLEN>(bytes.size()),
                                  reinterpret_cast<SQLLEN*>(&length));
  return rc == SQL_SUCCESS;
}

bool Database::freeCursor(QueryCursor cursor) {
  if (!cursor) return false;
  for (auto it = boundLengths_.begin(); it != boundLengths_.end();) {
    it = it->first.first == cursor ? boundLengths_.erase(it) : std::next(it);
  }
  return SQLFreeHandle(SQL_HANDLE_STMT, stmt(cursor)) == SQL_SUCCESS;
}

bool Database::next(QueryCursor cursor) { return fetch(cursor, SQL_FETCH_NEXT, 0); }
bool Database::previous(QueryCursor cursor) { return fetch(cursor, SQL_FETCH_PRIOR, 0); }
bool Database::first(QueryCursor cursor) { return fetch(cursor, SQL_FETCH_FIRST, 0); }
bool Database::last(QueryCursor cursor) { return fetch(cursor, SQL_FETCH_LAST, 0); }
bool Database::moveTo(QueryCursor cursor, long row) {
  return fetch(cursor, SQL_FETCH_ABSOLUTE, static_cast<SQLLEN>(row));
}

int Database::columnIndex(QueryCursor cursor, const std::string& name) {
  int columns = columnCount(cursor);
  for (int i = 1; i <= columns; ++i) {
    if (columnName(cursor, i - 1) == name) return i - 1;
  }
  return -1;
}

std::string Database::textByName(QueryCursor cursor, const std::string& name) {
  int index = columnIndex(cursor, name);
  return index < 0 ? std::string() : textAt(cursor, index);
}

Bytes Database::bytesByName(QueryCursor cursor, const std::string& name) {
  int index = columnIndex(cursor, name);
  return index < 0 ? Bytes() : bytesAt(cursor, index);
}

int Database::intByName(QueryCursor cursor, const std::string& name) {
  int index = columnIndex(cursor, name);
  return index < 0 ? 0 : intAt(cursor, index);
}

float Database::floatByName(QueryCursor cursor, const std::string& name) {
  int index = columnIndex(cursor, name);
  return index < 0 ? 0.0f : floatAt(cursor, index);
}

double Database::doubleByName(QueryCursor cursor, const std::string& name) {
  int index = columnIndex(cursor, name);
  return index < 0 ? 0.0 : doubleAt(cursor, index);
}

bool Database::readText(QueryCursor cursor, int index, std::string& out) {
  return readPieces(cursor, index, SQL_C_CHAR, 255, out);
}

std::string Database::textAt(QueryCursor cursor, int index) {
  std::string text;
  readText(cursor, index, text);
  return text;
}

Bytes Database::bytesAt(QueryCursor cursor, int index) {
  Bytes bytes;
  readPieces(cursor, index, SQL_C_BINARY, 10240, bytes);
  return bytes;
}

namespace {

// One fixed-size value of column `index` as C type `cType`; 0 when it is NULL
// or cannot be read.
template <typename Value>
Value scalarAt(QueryCursor cursor, int index, SQLSMALLINT cType) {
  if (!cursor || index < 0) return 0;
  Value value = 0;
  SQLLEN indicator = 0;
  SQLRETURN rc = SQLGetData(stmt(cursor), static_cast<SQLUSMALLINT>(index + 1), cType, &value,
                            sizeof value, &indicator);
  if ((rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) || indicator == SQL_NULL_DATA) return 0;
  return value;
}

}  // namespace

int Database::intAt(QueryCursor cursor, int index) {
  return static_cast<int>(scalarAt<SQLINTEGER>(cursor, index, SQL_C_LONG));
}

float Database::floatAt(QueryCursor cursor, int index) {
  return scalarAt<SQLREAL>(cursor, index, SQL_C_FLOAT);
}

double Database::doubleAt(QueryCursor cursor, int index) {
  return scalarAt<SQLDOUBLE>(cursor, index, SQL_C_DOUBLE);
}

std::string Database::columnName(QueryCursor cursor, int index) {
  if (!cursor || index < 0) return std::string();
  SQLCHAR name[255] = {0};
  SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
  SQLULEN size = 0;
  SQLRETURN rc = SQLDescribeCol(stmt(cursor), static_cast<SQLUSMALLINT>(index + 1), name,
                                sizeof name, &nameLength, &type, &size, &digits, &nullable);
  if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) return std::string();
  return reinterpret_cast<char*>(name);
}

int Database::columnCount(QueryCursor cursor) {
  if (!cursor) return 0;
  SQLSMALLINT columns = 0;
  if (SQLNumResultCols(stmt(cursor), &columns) != SQL_SUCCESS) return 0;
  return columns;
}

int Database::columnType(QueryCursor cursor, int index) {
  if (!cursor || index < 0) return 0;
  SQLSMALLINT type = 0, digits = 0, nullable = 0;
  SQLULEN size = 0;
  SQLDescribeCol(stmt(cursor), static_cast<SQLUSMALLINT>(index + 1), nullptr, 0, nullptr, &type,
                 &size, &digits, &nullable);
  return type;
}

unsigned long Database::columnSize(QueryCursor cursor, int index) {
  if (!cursor || index < 0) return 0;
  SQLSMALLINT type = 0, digits = 0, nullable = 0;
  SQLULEN size = 0;
  SQLDescribeCol(stmt(cursor), static_cast<SQLUSMALLINT>(index + 1), nullptr, 0, nullptr, &type,
                 &size, &digits, &nullable);
  return static_cast<unsigned long>(size);
}

bool Database::columnNullable(QueryCursor cursor, int index) {
  if (!cursor || index < 0) return false;
  SQLSMALLINT type = 0, digits = 0, nullable = 0;
  SQLULEN size = 0;
  SQLRETURN rc = SQLDescribeCol(stmt(cursor), static_cast<SQLUSMALLINT>(index + 1), nullptr, 0,
                                nullptr, &type, &size, &digits, &nullable);
  return (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO) && nullable == SQL_NULLABLE;
}

int Database::count(const std::string& table, const std::string* condition) {
  // Forward-only: fetch the one row of the count and read it.
  if (!connection_) return 0;
  SQLHSTMT statement = allocStatement(connection_);
  if (!statement) return 0;
  setCursorType(statement, SQL_CURSOR_FORWARD_ONLY);
  std::string sql = countSql(table, condition);
  int result = 0;
  if (SQLExecDirect(statement, sqlText(sql), static_cast<SQLINTEGER>(sql.size())) == SQL_SUCCESS &&
      SQLFetch(statement) == SQL_SUCCESS) {
    result = intAt(statement, 0);
  }
  SQLFreeHandle(SQL_HANDLE_STMT, statement);
  return result;
}

bool Database::beginTransaction() {
  if (!connection_) return false;
  return SQLSetConnectAttr(connection_, SQL_ATTR_AUTOCOMMIT,
                           reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0) == SQL_SUCCESS;
}

bool Database::endTransaction(short completionType) {
  if (!connection_) return false;
  SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, connection_, completionType);
  SQLSetConnectAttr(connection_, SQL_ATTR_AUTOCOMMIT,
                    reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
  return rc == SQL_SUCCESS;
}

bool Database::rollback() { return endTransaction(SQL_ROLLBACK); }
bool Database::commit() { return endTransaction(SQL_COMMIT); }

bool Database::setTimeout(unsigned long seconds) {
  if (!allocConnection()) return false;
  SQLRETURN rc = SQLSetConnectAttr(connection_, SQL_ATTR_CONNECTION_TIMEOUT,
                                   reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(seconds)), 0);
  return rc == SQL_SUCCESS;
}

unsigned long Database::timeout() {
  if (!connection_) return 0;
  SQLUINTEGER seconds = 0;
  SQLGetConnectAttr(connection_, SQL_ATTR_CONNECTION_TIMEOUT, &seconds, sizeof seconds, nullptr);
  return seconds;
}

int Database::lastErrors(std::string& states, std::string& messages) {
  if (!connection_) return 0;
  SQLINTEGER native = 0;
  for (SQLSMALLINT record = 1;; ++record) {
    SQLCHAR state[6] = {0};
    SQLCHAR message[512] = {0};
    SQLSMALLINT length = 0;
    SQLRETURN rc = SQLGetDiagRec(SQL_HANDLE_DBC, connection_, record, state, &native, message,
                                 sizeof message, &length);
    if (rc == SQL_NO_DATA) return static_cast<int>(native);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) return 0;
    states += reinterpret_cast<char*>(state);
    messages += reinterpret_cast<char*>(message);
  }
}

// Statement builders: fragments are joined as given; callers pass ready SQL pieces.

std::string Database::literal(const std::string& text) { return "'" + replaceAll(text, "'", "''") + "'"; }

std::string Database::countSql(const std::string& table, const std::string* condition) {
  return "select count(1) from " + table + " " + (condition ? "where " + *condition : "");
}

std::string Database::insertSql(const std::string& table, const std::string& columns,
                                const std::string& values) {
  return "insert into " + table + "(" + columns + ") values (" + values + ")";
}

std::string Database::insertBlobSql(const std::string& table, const std::string& columns) {
  return "insert into " + table + " " + columns + " values (?)";
}

std::string Database::updateSql(const std::string& table, const std::string& assignments,
                                const std::string& condition) {
  return "update " + table + " set " + assignments + " where " + condition;
}

std::string Database::deleteSql(const std::string& table, const std::string& condition) {
  return "delete from " + table + " where " + condition;
}

std::string Database::lookupSql(const std::string& table, const std::string& condition) {
  return "select * from " + table + " where " + condition;
}

std::string Database::deleteDuplicatesSql(const std::string& table,
                                          const std::string& groupColumns,
                                          const std::string& keptRowExpression,
                                          const std::string& keyColumn) {
  return "delete from " + table + " where " + keyColumn + " not in(select " + keptRowExpression +
         " from " + table + " group by " + groupColumns + ")";
}

std::string Database::selectDuplicateRowsSql(const std::string& table,
                                             const std::string& columns) {
  std::vector<std::string> parts = splitText(columns, ",");
  std::string prefixed;
  if (parts.size() < 2) {
    prefixed = "a." + columns;
  } else {
    for (const std::string& column : parts) prefixed += "a." + column + ",";
    prefixed.pop_back();
  }
  return "select * from " + table + " a where(" + prefixed + ") in (select " + columns + " from " +
         table + " group by " + columns + " having count(*)>1)";
}

std::string Database::selectDuplicatesSql(const std::string& table, const std::string& column) {
  return "select * from " + table + " where " + column + " in (select " + column + " from " +
         table + " group by " + column + " having count(" + column + ")>1)";
}

bool Database::insert(const std::string& table, const std::string& columns,
                      const std::string& values) {
  return executeWithBlobs(insertSql(table, columns, values), nullptr, BlobArgs());
}

bool Database::insertBlob(const std::string& table, const std::string& columns,
                          const Bytes& bytes) {
  BlobArgs blobs;
  blobs.items[0] = &bytes;
  return executeWithBlobs(insertBlobSql(table, columns), nullptr, blobs);
}

bool Database::update(const std::string& table, const std::string& assignments,
                      const std::string& condition) {
  return executeWithBlobs(updateSql(table, assignments, condition), nullptr, BlobArgs());
}

bool Database::deleteRows(const std::string& table, const std::string& condition) {
  return executeWithBlobs(deleteSql(table, condition), nullptr, BlobArgs());
}

bool Database::updateBlob(const std::string& table, const std::string& assignments,
                          const std::string& condition, const Bytes& bytes) {
  BlobArgs blobs;
  blobs.items[0] = &bytes;
  return executeWithBlobs(updateSql(table, assignments, condition), nullptr, blobs);
}

bool Database::exists(const std::string& table, const std::string& condition) {
  return count(table, &condition) > 0;
}

std::string Database::lookupText(const std::string& table, const std::string& condition,
                                 const std::string& column) {
  QueryCursor cursor = query(lookupSql(table, condition));
  if (!cursor) return std::string();
  std::string text = textByName(cursor, column);
  freeCursor(cursor);
  return text;
}

bool Database::deleteDuplicates(const std::string& table, const std::string& groupColumns,
                                const std::string& keptRowExpression,
                                const std::string& keyColumn) {
  return executeWithBlobs(deleteDuplicatesSql(table, groupColumns, keptRowExpression, keyColumn),
                          nullptr, BlobArgs());
}

int Database::selectDuplicateRows(const std::string& table, const std::string& columns) {
  QueryCursor cursor = query(selectDuplicateRowsSql(table, columns));
  int value = intAt(cursor, 0);
  freeCursor(cursor);
  return value;
}

int Database::selectDuplicates(const std::string& table, const std::string& column) {
  QueryCursor cursor = query(selectDuplicatesSql(table, column));
  int value = intAt(cursor, 0);
  freeCursor(cursor);
  return value;
}

}  // namespace ql
