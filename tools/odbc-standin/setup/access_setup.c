/*
 * Setup library of the Access driver stand-in, for Wine.
 *
 * Windows creates an empty Access file through the driver's setup library:
 * SQLConfigDataSource(ODBC_ADD_DSN, "Microsoft Access Driver (*.mdb)",
 * "CREATE_DB=<path> General"). Under Wine the data file is SQLite behind the
 * stand-in driver, and an empty file is an empty SQLite database, so creating
 * the file is all there is to do. Wine's ODBC installer finds this library
 * through the driver's "Setup" value under
 * HKLM\Software\ODBC\ODBCINST.INI\Microsoft Access Driver (*.mdb).
 */
#include <windows.h>
#include <odbcinst.h>
#include <string.h>

/* CREATE_DB's value is a path, quoted when it holds blanks, then a sort order. */
static BOOL createEmptyDatabase(const char* value) {
  char path[MAX_PATH];
  size_t length = 0;
  while (*value == ' ') value++;
  if (*value == '"') {
    const char* end = strchr(++value, '"');
    length = end ? (size_t)(end - value) : strlen(value);
  } else {
    while (value[length] && value[length] != ' ') length++;
  }
  if (length == 0 || length >= sizeof path) return FALSE;
  memcpy(path, value, length);
  path[length] = 0;

  /* Like the Access driver, never replace an existing file. */
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  CloseHandle(file);
  return TRUE;
}

__declspec(dllexport) BOOL WINAPI ConfigDSN(HWND window, WORD request, LPCSTR driver,
                                            LPCSTR attributes) {
  (void)window;
  (void)driver;
  if (request != ODBC_ADD_DSN || !attributes) return FALSE;
  for (const char* attribute = attributes; *attribute; attribute += strlen(attribute) + 1) {
    if (_strnicmp(attribute, "CREATE_DB=", 10) == 0) return createEmptyDatabase(attribute + 10);
  }
  return FALSE;  /* data sources are not kept by the stand-in */
}
