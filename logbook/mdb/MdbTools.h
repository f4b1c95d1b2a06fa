#pragma once
// mdbtools.h for C++ code. With GLib, glib.h must come in before mdbtools.h
// wraps it in extern "C"; without GLib (libmdb's own small replacement, as on
// Windows) the replacement's functions are C functions that mdbtools.h does
// not declare as such.
#if __has_include(<glib.h>)
#include <glib.h>
#include <mdbtools.h>
#else
#include <locale.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
extern "C" {
#include <mdbfakeglib.h>
}
#include <mdbtools.h>
#endif

#include <memory>

struct MdbCloser {
    void operator()(MdbHandle *h) const { mdb_close(h); }
};
using MdbPtr = std::unique_ptr<MdbHandle, MdbCloser>;
