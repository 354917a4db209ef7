#pragma once
// The library's string array that sorts itself, ascending by the strings' ordinal comparison.

#include "Array.h"
#include "TesselExport.h"

class TESSEL_EXPORT CSortStringArray : public CArray<QString> {
public:
    // Stable, so equal strings keep their order, as the original pairwise passes left them; in
    // O(n log n), so a folder of many thousand names sorts at once.
    void Sort();
};
