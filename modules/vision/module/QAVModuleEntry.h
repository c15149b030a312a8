#pragma once
// What the vision plug-in's entry points do, callable without loading the plug-in.
class MRKCSubstrate;

// Stores the primitive "qav.convert" in the substrate's primitives table, under the table's
// monitor. 0 when stored; 22 for no substrate or a table that refused it.
int QAVFModuleInit(MRKCSubstrate* substrate);
// Removes "qav.convert" from the primitives table, under the table's monitor. 0; 22 for no
// substrate.
int QAVFModuleExit(MRKCSubstrate* substrate);
