#pragma once
// Tessel is built with hidden visibility; only what carries TESSEL_EXPORT is part of its ABI, the
// same marking serving the library's own build and its users.

#define TESSEL_EXPORT __attribute__((visibility("default")))
