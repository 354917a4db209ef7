#include "SortStringArray.h"

#include <algorithm>

void CSortStringArray::Sort()
{
    std::stable_sort(begin(), end(), [](const QString& a, const QString& b) { return a.compare(b) < 0; });
}
