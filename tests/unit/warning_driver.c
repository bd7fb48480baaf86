/* An ODBC driver for the tests: SQLite's driver, except that statements whose
 * text holds the marker comment WARN_MARKER succeed "with information", the way
 * a driver reports a warning. Every other entry point resolves to SQLite's. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <sql.h>
#include <string.h>

#define WARN_MARKER "/*warn*/"
#define MAX_FLAGGED 64

static SQLHSTMT flagged[MAX_FLAGGED];

static int has_marker(SQLCHAR* text, SQLINTEGER length) {
  char buffer[4096];
  size_t n = length == SQL_NTS ? strlen((const char*)text) : (size_t)length;
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
  return warn(next(statement, text, length), has_marker(text, length));
}

SQLRETURN SQL_API SQLPrepare(SQLHSTMT statement, SQLCHAR* text, SQLINTEGER length) {
  SQLRETURN (*next)(SQLHSTMT, SQLCHAR*, SQLINTEGER) = dlsym(RTLD_NEXT, "SQLPrepare");
  flag(statement, has_marker(text, length));
  return next(statement, text, length);
}

SQLRETURN SQL_API SQLExecute(SQLHSTMT statement) {
  SQLRETURN (*next)(SQLHSTMT) = dlsym(RTLD_NEXT, "SQLExecute");
  return warn(next(statement), is_flagged(statement));
}
