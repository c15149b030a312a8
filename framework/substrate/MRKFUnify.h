#pragma once
// Unification of terms. Named variables bind (the same name binds once), wildcards "_" match
// without binding, and a variable's constraints ("is.<kind>" symbols) must all hold for the term
// it takes. Lists and funcs unify member by member, frames label by label, atoms by compareTo.
// Both sides may hold variables.
#include "framework/substrate/MRKCVariables.h"

class MRKCSubstrate;
class MRKBProcessor;

// True when a and b unify under the bindings, which then hold the new bindings; on failure the
// bindings are left as they were. The substrate and processor are the context of the match and
// may be null.
bool MRKFUnifyTerms(MRKCSubstrate* substrate, MRKBProcessor* processor, MRKBTerm* a, MRKBTerm* b,
                    MRKCVariables* bindings);
// True when a and b unify on their own (fresh bindings, dropped afterwards).
bool MRKFUnifyTermsIsolated(MRKCSubstrate* substrate, MRKBProcessor* processor, MRKBTerm* a, MRKBTerm* b);
