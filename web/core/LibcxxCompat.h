#pragma once

// Debian 12's emscripten (3.1.6) ships a libc++ without
// std::make_unique_for_overwrite, which the core uses; the browser build
// force-includes this header so the core compiles unchanged there.
#include <cstddef>
#include <memory>
#include <type_traits>

#if !defined(__cpp_lib_smart_ptr_for_overwrite)
namespace std {
template <class T>
requires is_unbounded_array_v<T> unique_ptr<T> make_unique_for_overwrite(size_t count) {
  return unique_ptr<T>(new remove_extent_t<T>[count]);
}
}  // namespace std
#endif
