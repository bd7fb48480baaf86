/* An ODBC driver for the tests: SQLite's driver with a few habits of other
 * drivers, so that the program's handling of them can be tested:
 * - statements whose text holds the marker comment WARN_MARKER succeed "with
 *   information", the way a driver reports a warning;
 * - statements longer than MAX_STATEMENT bytes are refused, as the Access
 *   driver refuses them;
 * and, switched on by the tests through warning_driver_controls():
 * - statement allocation succeeds "with information";
 * - long text values are handed out without a total (SQL_NO_TOTAL), each piece
 *   "with information", and ended by SQL_NO_DATA after the last piece;
 * - reading one column fails.
 * It also counts live statement handles and keeps the last statement's text.
 * Every other entry point resolves to SQLite's. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <sql.h>
#include <sqlext.h>
#include <string.h>

#define WARN_MARKER "/*warn*/"
#define MAX_FLAGGED 64
#define MAX_STATEMENT 64000

struct warning_driver_controls {
  int alloc_with_info;    /* statement allocation answers SQL_SUCCESS_WITH_INFO */
  int no_total_pieces;    /* SQL_C_CHAR values: SQL_NO_TOTAL, ended by SQL_NO_DATA */
  int failing_column;     /* SQLGetData of this column number fails */
  int live_statements;    /* allocated and not yet freed */
  char last_statement[MAX_STATEMENT + 1];
};

static struct warning_driver_controls controls;

struct warning_driver_controls* warning_driver_controls(void) { return &controls; }

static SQLHSTMT flagged[MAX_FLAGGED];

static size_t text_length(SQLCHAR* text, SQLINTEGER length) {
  return length == SQL_NTS ? strlen((const char*)text) : (size_t)length;
}

static void remember(SQLCHAR* text, SQLINTEGER length) {
  size_t n = text_length(text, length);
  if (n > MAX_STATEMENT) n = MAX_STATEMENT;
  memcpy(controls.last_statement, text, n);
  controls.last_statement[n] = 0;
}

static int has_marker(SQLCHAR* text, SQLINTEGER length) {
  char buffer[4096];
  size_t n = text_length(text, length);
  if (n >= sizeof buffer) n = sizeof buffer - 1;
  memcpy(buffer, text, n);
  buffer[n] = 0;
  return strstr(buffer, WARN_MARKER) != NULL;
}

static void flag(SQLHSTMT statement, int on) {
  for (int i = 0; i < MAX_FLAGGED; ++i) {
    if (flagged[i] == statement) flagged[i] = NULL;
  }
  for (int i = 0; on && i < MAX_FLAGGED; ++i) {
    if (!flagged[i]) {
      flagged[i] = statement;
      return;
    }
  }
}

static int is_flagged(SQLHSTMT statement) {
  for (int i = 0; i < MAX_FLAGGED; ++i) {
    if (flagged[i] == statement) return 1;
  }
  return 0;
}

static SQLRETURN warn(SQLRETURN rc, int marked) {
  return (rc == SQL_SUCCESS && marked) ? SQL_SUCCESS_WITH_INFO : rc;
}

SQLRETURN SQL_API SQLExecDirect(SQLHSTMT statement, SQLCHAR* text, SQLINTEGER length) {
  SQLRETURN (*next)(SQLHSTMT, SQLCHAR*, SQLINTEGER) = dlsym(RTLD_NEXT, "SQLExecDirect");
  remember(text, length);
  if (text_length(text, length) > MAX_STATEMENT) return SQL_ERROR;
  return warn(next(statement, text, length), has_marker(text, length));
}

SQLRETURN SQL_API SQLPrepare(SQLHSTMT statement, SQLCHAR* text, SQLINTEGER length) {
  SQLRETURN (*next)(SQLHSTMT, SQLCHAR*, SQLINTEGER) = dlsym(RTLD_NEXT, "SQLPrepare");
  remember(text, length);
  if (text_length(text, length) > MAX_STATEMENT) return SQL_ERROR;
  flag(statement, has_marker(text, length));
  return next(statement, text, length);
}

SQLRETURN SQL_API SQLExecute(SQLHSTMT statement) {
  SQLRETURN (*next)(SQLHSTMT) = dlsym(RTLD_NEXT, "SQLExecute");
  return warn(next(statement), is_flagged(statement));
}

SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output) {
  SQLRETURN (*next)(SQLSMALLINT, SQLHANDLE, SQLHANDLE*) = dlsym(RTLD_NEXT, "SQLAllocHandle");
  SQLRETURN rc = next(type, input, output);
  if (type != SQL_HANDLE_STMT || rc != SQL_SUCCESS) return rc;
  ++controls.live_statements;
  return controls.alloc_with_info ? SQL_SUCCESS_WITH_INFO : rc;
}

SQLRETURN SQL_API SQLAllocStmt(SQLHDBC connection, SQLHSTMT* statement) {
  SQLRETURN (*next)(SQLHDBC, SQLHSTMT*) = dlsym(RTLD_NEXT, "SQLAllocStmt");
  SQLRETURN rc = next(connection, statement);
  if (rc != SQL_SUCCESS) return rc;
  ++controls.live_statements;
  return controls.alloc_with_info ? SQL_SUCCESS_WITH_INFO : rc;
}

SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle) {
  SQLRETURN (*next)(SQLSMALLINT, SQLHANDLE) = dlsym(RTLD_NEXT, "SQLFreeHandle");
  SQLRETURN rc = next(type, handle);
  if (type == SQL_HANDLE_STMT && rc == SQL_SUCCESS) --controls.live_statements;
  return rc;
}

SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT statement, SQLUSMALLINT option) {
  SQLRETURN (*next)(SQLHSTMT, SQLUSMALLINT) = dlsym(RTLD_NEXT, "SQLFreeStmt");
  SQLRETURN rc = next(statement, option);
  if (option == SQL_DROP && rc == SQL_SUCCESS) --controls.live_statements;
  return rc;
}

SQLRETURN SQL_API SQLGetData(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT type,
                             SQLPOINTER value, SQLLEN size, SQLLEN* indicator) {
  SQLRETURN (*next)(SQLHSTMT, SQLUSMALLINT, SQLSMALLINT, SQLPOINTER, SQLLEN, SQLLEN*) =
      dlsym(RTLD_NEXT, "SQLGetData");
  if (column == controls.failing_column) return SQL_ERROR;
  SQLRETURN rc = next(statement, column, type, value, size, indicator);
  if (!controls.no_total_pieces || type != SQL_C_CHAR || !indicator ||
      *indicator == SQL_NULL_DATA)
    return rc;
  /* Every piece, the last one included, looks truncated; the call after the
   * last piece finds no more data. */
  if (rc == SQL_SUCCESS_WITH_INFO || (rc == SQL_SUCCESS && *indicator > 0)) {
    *indicator = SQL_NO_TOTAL;
    return SQL_SUCCESS_WITH_INFO;
  }
  return rc;
}
