#pragma once
// Checks a thread contract a header states ("window thread only", "own strand only"). Debug
// builds stop at a broken one, naming it and where; release builds evaluate nothing.
#ifdef NDEBUG
#define LLKF_EXPECT_THREAD(onIt, contract) ((void)0)
#else
#define LLKF_EXPECT_THREAD(onIt, contract) ((onIt) ? (void)0 : LLKFThreadContractBroken(contract, __FILE__, __LINE__))
#endif

[[noreturn]] void LLKFThreadContractBroken(const char* contract, const char* file, int line);
