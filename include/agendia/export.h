#pragma once

// Symbols are hidden by default; only what carries AGENDIA_EXPORT is part of
// the shared library's interface.
#if defined(_WIN32)
#  if defined(AGENDIA_BUILDING_LIBRARY)
#    define AGENDIA_EXPORT __declspec(dllexport)
#  else
#    define AGENDIA_EXPORT __declspec(dllimport)
#  endif
#else
#  define AGENDIA_EXPORT __attribute__((visibility("default")))
#endif
