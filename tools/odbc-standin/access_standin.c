/*
 * Stand-in for the "Microsoft Access Driver (*.mdb)" on Linux.
 *
 * There is no Access driver for Linux, so the data file is a SQLite database
 * reached through the SQLite ODBC driver. This object defines only
 * SQLDriverConnect: it turns the Access connection string
 *     DBQ=Z:\dir\flash.mdb;Pwd=...;DRIVER={Microsoft Access Driver (*.mdb)};
 * into
 *     Database=/dir/flash.mdb;NoCreat=1;
 * and hands it to the SQLite driver's own SQLDriverConnect. It is linked
 * against the SQLite driver, so every other entry point the driver manager
 * looks up resolves there.
 *
 * Like the Access driver, it refuses a file that is missing or is not a
 * database (new files come from the setup library, CREATE_DB), and a
 * statement longer than the Access driver takes (SQLPrepare, SQLExecDirect).
 *
 * Debian's SQLite driver has no wide-character entry points, so texts travel
 * as the bytes they are: GBK names and values reach the file untouched, and
 * no NoWCHAR option is needed.
 *
 * Declared with plain C types so that it needs no ODBC header for -m32:
 * SQLRETURN and SQLSMALLINT are shorts, handles are pointers.
 */
#define _GNU_SOURCE
#include <ctype.h>
#include <dlfcn.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#define STANDIN_SQL_SUCCESS 0
#define STANDIN_SQL_SUCCESS_WITH_INFO 1
#define STANDIN_SQL_ERROR (-1)
#define STANDIN_SQL_NTS (-3)
#define STANDIN_SQL_HANDLE_STMT 3
#define STANDIN_SQL_DRIVER_NOPROMPT 0
/* The Access driver's limit on the length of one statement. */
#define STANDIN_MAX_STATEMENT 64000

typedef short (*DriverConnectFn)(void*, void*, const unsigned char*, short, unsigned char*, short,
                                 short*, unsigned short);
typedef short (*AllocHandleFn)(short, void*, void**);
typedef short (*ExecDirectFn)(void*, const unsigned char*, int);
typedef short (*PrepareFn)(void*, const unsigned char*, int);
typedef short (*FreeHandleFn)(short, void*);
typedef short (*DisconnectFn)(void*);

static int succeeded(short rc) {
  return rc == STANDIN_SQL_SUCCESS || rc == STANDIN_SQL_SUCCESS_WITH_INFO;
}

/* The value of `key` (case-insensitive) in a "k=v;k={v};" string, or 0 when
   absent. Braces around a value are removed. */
static int connectionValue(const char* text, const char* key, char* out, size_t outSize) {
  size_t keyLength = strlen(key);
  const char* p = text;
  while (*p) {
    while (*p == ';' || *p == ' ') p++;
    const char* name = p;
    while (*p && *p != '=' && *p != ';') p++;
    if (*p != '=') continue;
    size_t nameLength = (size_t)(p - name);
    while (nameLength > 0 && name[nameLength - 1] == ' ') nameLength--;
    p++;
    const char* value;
    size_t valueLength;
    if (*p == '{') {
      value = ++p;
      while (*p && *p != '}') p++;
      valueLength = (size_t)(p - value);
      if (*p) p++;
      while (*p && *p != ';') p++;
    } else {
      value = p;
      while (*p && *p != ';') p++;
      valueLength = (size_t)(p - value);
    }
    if (nameLength == keyLength && strncasecmp(name, key, keyLength) == 0) {
      if (valueLength >= outSize) return 0;
      memcpy(out, value, valueLength);
      out[valueLength] = 0;
      return 1;
    }
  }
  return 0;
}

/* The Unix folder behind a Wine drive letter: the prefix's dosdevices link.
   Z: is the root on every prefix Wine makes. */
static int driveFolder(char letter, char* out, size_t outSize) {
  letter = (char)tolower((unsigned char)letter);
  if (letter == 'z') {
    out[0] = 0;
    return 1;
  }
  char link[PATH_MAX];
  const char* prefix = getenv("WINEPREFIX");
  const char* home = getenv("HOME");
  if (prefix && *prefix)
    snprintf(link, sizeof link, "%s/dosdevices/%c:", prefix, letter);
  else if (home)
    snprintf(link, sizeof link, "%s/.wine/dosdevices/%c:", home, letter);
  else
    return 0;
  char target[PATH_MAX];
  if (!realpath(link, target) || strlen(target) >= outSize) return 0;
  strcpy(out, strcmp(target, "/") == 0 ? "" : target);
  return 1;
}

/* "X:\dir\file" becomes the Unix path behind drive X; a Unix path stays. */
static int unixPathOf(const char* dbq, char* out, size_t outSize) {
  if (dbq[0] == '/') {
    if (strlen(dbq) >= outSize) return 0;
    strcpy(out, dbq);
    return 1;
  }
  if (!isalpha((unsigned char)dbq[0]) || dbq[1] != ':' || (dbq[2] != '\\' && dbq[2] != '/'))
    return 0;
  if (!driveFolder(dbq[0], out, outSize)) return 0;
  size_t length = strlen(out);
  if (length + strlen(dbq + 2) >= outSize) return 0;
  for (const char* p = dbq + 2; *p; p++) out[length++] = *p == '\\' ? '/' : *p;
  out[length] = 0;
  return 1;
}

/* The SQLite driver's definition of an entry point: the next one after ours. */
static void* sqliteDriverEntry(const char* name) { return dlsym(RTLD_NEXT, name); }

/* SQLite opens any file lazily; read the schema once so that a file that is
   not a database fails here, at connect, as it does with the Access driver. */
static int readsAsDatabase(void* connection) {
  AllocHandleFn allocHandle = (AllocHandleFn)sqliteDriverEntry("SQLAllocHandle");
  ExecDirectFn execDirect = (ExecDirectFn)sqliteDriverEntry("SQLExecDirect");
  FreeHandleFn freeHandle = (FreeHandleFn)sqliteDriverEntry("SQLFreeHandle");
  if (!allocHandle || !execDirect || !freeHandle) return 0;
  void* statement = 0;
  if (!succeeded(allocHandle(STANDIN_SQL_HANDLE_STMT, connection, &statement))) return 0;
  short rc = execDirect(statement, (const unsigned char*)"select count(*) from sqlite_master",
                        STANDIN_SQL_NTS);
  freeHandle(STANDIN_SQL_HANDLE_STMT, statement);
  return succeeded(rc);
}

__attribute__((visibility("default"))) short SQLDriverConnect(
    void* connection, void* window, const unsigned char* in, short inLength, unsigned char* out,
    short outMax, short* outLength, unsigned short completion) {
  DriverConnectFn sqliteConnect = (DriverConnectFn)sqliteDriverEntry("SQLDriverConnect");
  if (!sqliteConnect || !in) return STANDIN_SQL_ERROR;

  size_t length = inLength == STANDIN_SQL_NTS ? strlen((const char*)in) : (size_t)inLength;
  char* text = malloc(length + 1);
  if (!text) return STANDIN_SQL_ERROR;
  memcpy(text, in, length);
  text[length] = 0;

  char dbq[PATH_MAX];
  char path[PATH_MAX];
  int found = connectionValue(text, "DBQ", dbq, sizeof dbq) && unixPathOf(dbq, path, sizeof path);
  free(text);
  /* A missing file is an error for the Access driver; SQLite would create it. */
  if (!found || access(path, F_OK) != 0) return STANDIN_SQL_ERROR;

  char sqliteText[PATH_MAX + 64];
  snprintf(sqliteText, sizeof sqliteText, "Database=%s;NoCreat=1;", path);
  (void)completion;
  short rc = sqliteConnect(connection, window, (const unsigned char*)sqliteText, STANDIN_SQL_NTS,
                           out, outMax, outLength, STANDIN_SQL_DRIVER_NOPROMPT);
  if (!succeeded(rc)) return rc;
  if (!readsAsDatabase(connection)) {
    DisconnectFn disconnect = (DisconnectFn)sqliteDriverEntry("SQLDisconnect");
    if (disconnect) disconnect(connection);
    return STANDIN_SQL_ERROR;
  }
  return rc;
}

static int tooLong(const unsigned char* text, int length) {
  if (!text) return 0;
  size_t n = length == STANDIN_SQL_NTS ? strlen((const char*)text) : (size_t)length;
  return n > STANDIN_MAX_STATEMENT;
}

__attribute__((visibility("default"))) short SQLExecDirect(void* statement,
                                                           const unsigned char* text, int length) {
  ExecDirectFn execDirect = (ExecDirectFn)sqliteDriverEntry("SQLExecDirect");
  if (!execDirect || tooLong(text, length)) return STANDIN_SQL_ERROR;
  return execDirect(statement, text, length);
}

__attribute__((visibility("default"))) short SQLPrepare(void* statement, const unsigned char* text,
                                                        int length) {
  PrepareFn prepare = (PrepareFn)sqliteDriverEntry("SQLPrepare");
  if (!prepare || tooLong(text, length)) return STANDIN_SQL_ERROR;
  return prepare(statement, text, length);
}
