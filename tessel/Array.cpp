#include "Array.h"

#include <platform/RuntimeClass.h>

template class CArray<QString>;
template class CArray<platform::CObject*>;
