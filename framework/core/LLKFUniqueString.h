#pragma once
// Fresh names for things that need one (chunk uids, sample names).
#include "framework/core/LLKCString.h"

#include <cstddef>

// length characters drawn from 0-9, A-Z and a-z, independent of the random seed; null for a
// length of 0. Uniqueness is a matter of odds: 13 characters make a clash practically impossible.
Ref<LLKCString> LLKFUniqueStringWithLength(size_t length);
