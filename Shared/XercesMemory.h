#pragma once

#include <xercesc/framework/MemoryManager.hpp>

// The memory manager the XML parser is initialised with: plain heap blocks, counted, so a test can
// see that a load gives back every block it took (the leak checker cannot tell the parser's own
// caches from a block we forgot, since the parser's stacks do not unwind).
class CXercesMemoryManager final : public xercesc::MemoryManager
{
public:
    xercesc::MemoryManager* getExceptionMemoryManager() override { return this; }
    // Throws xercesc::OutOfMemoryException when the heap is exhausted, as the parser expects.
    void* allocate(XMLSize_t nSize) override;
    void deallocate(void* p) override;
};

// The one manager handed to the parser's first initialisation.
CXercesMemoryManager* tXercesMemoryManager();

// Blocks the parser holds at this moment (allocated through the manager and not yet given back).
long tXercesLiveBlocks();
