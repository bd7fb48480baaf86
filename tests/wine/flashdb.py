"""Direct access to a flash.mdb made by the Linux stand-in (a SQLite file).

Table and column names are GBK bytes. Python's sqlite3 module only takes SQL
as UTF-8 text and so cannot name them; this talks to libsqlite3 through
ctypes with SQL as bytes. Values come back as bytes (texts and blobs), int,
float or None, exactly as stored.

    rows = query(path, "select 编号, 字段1 from 配置表")
    execute(path, "update 配置表 set 字段1=? where 编号=1", [b"..."])
"""
import ctypes
import ctypes.util

_SQLITE_OK, _SQLITE_ROW, _SQLITE_DONE = 0, 100, 101
_SQLITE_INTEGER, _SQLITE_FLOAT, _SQLITE_TEXT, _SQLITE_BLOB = 1, 2, 3, 4
_SQLITE_OPEN_READWRITE = 0x2
_SQLITE_TRANSIENT = ctypes.c_void_p(-1)

_lib = ctypes.CDLL(ctypes.util.find_library("sqlite3") or "libsqlite3.so.0")
_lib.sqlite3_open_v2.argtypes = [ctypes.c_char_p, ctypes.POINTER(ctypes.c_void_p), ctypes.c_int,
                                 ctypes.c_char_p]
_lib.sqlite3_close_v2.argtypes = [ctypes.c_void_p]
_lib.sqlite3_errmsg.argtypes = [ctypes.c_void_p]
_lib.sqlite3_errmsg.restype = ctypes.c_char_p
_lib.sqlite3_busy_timeout.argtypes = [ctypes.c_void_p, ctypes.c_int]
_lib.sqlite3_prepare_v2.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int,
                                    ctypes.POINTER(ctypes.c_void_p), ctypes.c_void_p]
_lib.sqlite3_step.argtypes = [ctypes.c_void_p]
_lib.sqlite3_finalize.argtypes = [ctypes.c_void_p]
_lib.sqlite3_bind_text.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_char_p, ctypes.c_int,
                                   ctypes.c_void_p]
_lib.sqlite3_bind_blob.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_char_p, ctypes.c_int,
                                   ctypes.c_void_p]
_lib.sqlite3_bind_int64.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int64]
_lib.sqlite3_bind_null.argtypes = [ctypes.c_void_p, ctypes.c_int]
_lib.sqlite3_column_count.argtypes = [ctypes.c_void_p]
_lib.sqlite3_column_type.argtypes = [ctypes.c_void_p, ctypes.c_int]
_lib.sqlite3_column_int64.argtypes = [ctypes.c_void_p, ctypes.c_int]
_lib.sqlite3_column_int64.restype = ctypes.c_int64
_lib.sqlite3_column_double.argtypes = [ctypes.c_void_p, ctypes.c_int]
_lib.sqlite3_column_double.restype = ctypes.c_double
_lib.sqlite3_column_blob.argtypes = [ctypes.c_void_p, ctypes.c_int]
_lib.sqlite3_column_blob.restype = ctypes.c_void_p
_lib.sqlite3_column_bytes.argtypes = [ctypes.c_void_p, ctypes.c_int]


class Blob(bytes):
    """A parameter to bind as a blob rather than as text."""


def _sql(text):
    return text.encode("gbk") if isinstance(text, str) else text


def _check(db, code, what):
    if code != _SQLITE_OK:
        raise RuntimeError("%s: %s" % (what, _lib.sqlite3_errmsg(db).decode("utf-8", "replace")))


def _bind(statement, index, value):
    if value is None:
        return _lib.sqlite3_bind_null(statement, index)
    if isinstance(value, int):
        return _lib.sqlite3_bind_int64(statement, index, value)
    if isinstance(value, Blob):
        return _lib.sqlite3_bind_blob(statement, index, bytes(value), len(value), _SQLITE_TRANSIENT)
    data = _sql(value)
    return _lib.sqlite3_bind_text(statement, index, data, len(data), _SQLITE_TRANSIENT)


def _column(statement, index):
    kind = _lib.sqlite3_column_type(statement, index)
    if kind == _SQLITE_INTEGER:
        return _lib.sqlite3_column_int64(statement, index)
    if kind == _SQLITE_FLOAT:
        return _lib.sqlite3_column_double(statement, index)
    if kind in (_SQLITE_TEXT, _SQLITE_BLOB):
        pointer = _lib.sqlite3_column_blob(statement, index)
        size = _lib.sqlite3_column_bytes(statement, index)
        return ctypes.string_at(pointer, size) if size else b""
    return None


def _run(path, statements):
    """Runs (sql, parameters) pairs in order; returns the rows of the last."""
    db = ctypes.c_void_p()
    code = _lib.sqlite3_open_v2(path.encode(), ctypes.byref(db), _SQLITE_OPEN_READWRITE, None)
    try:
        _check(db, code, "open " + path)
        _lib.sqlite3_busy_timeout(db, 5000)
        rows = []
        for sql, parameters in statements:
            data = _sql(sql)
            statement = ctypes.c_void_p()
            _check(db, _lib.sqlite3_prepare_v2(db, data, len(data), ctypes.byref(statement), None),
                   "prepare %r" % sql)
            try:
                for i, value in enumerate(parameters or [], 1):
                    _check(db, _bind(statement, i, value), "bind %d" % i)
                rows = []
                while True:
                    code = _lib.sqlite3_step(statement)
                    if code == _SQLITE_DONE:
                        break
                    if code != _SQLITE_ROW:
                        _check(db, code, "run %r" % sql)
                    count = _lib.sqlite3_column_count(statement)
                    rows.append(tuple(_column(statement, i) for i in range(count)))
            finally:
                _lib.sqlite3_finalize(statement)
        return rows
    finally:
        _lib.sqlite3_close_v2(db)


def query(path, sql, parameters=None):
    """The rows of one statement, each a tuple of bytes / int / float / None."""
    return _run(path, [(sql, parameters)])


def execute(path, *statements):
    """Runs statements in order: each is SQL text or a (sql, parameters) pair."""
    _run(path, [s if isinstance(s, tuple) else (s, None) for s in statements])


def config_records(path):
    """All records of 配置表 in stored order: (编号, 字段1, 字段2, 字段3)."""
    return query(path, "select 编号, 字段1, 字段2, 字段3 from 配置表 order by rowid")


def field1(path):
    """字段1 of record 编号=1, as stored."""
    rows = query(path, "select 字段1 from 配置表 where 编号=1")
    return rows[0][0] if rows else None


def parse_config(text):
    """A configuration text (bytes, GBK) as {section: {key: value}}, all str."""
    sections, current = {}, None
    for line in text.decode("gbk", "replace").split("\r\n"):
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1], {})
        elif "=" in line and current is not None:
            key, value = line.split("=", 1)
            current.setdefault(key, value)
    return sections
