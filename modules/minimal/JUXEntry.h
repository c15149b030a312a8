#pragma once
// The two bodies that both name forms of the entry points share.
class MRKCSubstrate;

void JUXModuleInit();
void JUXModuleExit();
