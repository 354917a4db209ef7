#include "Decode.h"

#include "MessageKinds.h"

namespace wirra {

bool DecodeMessage(CCSIFormat& d, int type, unsigned id, const char* bytes, int n)
{
    if (type == kTypeBinary) {
        if (id == 96)
            d.ProcessSBinaryMsg96(bytes, n);
        else if (id == 99)
            d.ProcessSBinaryMsg99(bytes, n);
        else
            return false;
        return true;
    }
    if (type == kTypeReply) {
        if (id == kIdShowReport)
            d.ProcessCSISHOW(bytes);
        else if (id == kIdAck)
            d.ProcessAck();
        else
            return false;
        return true;
    }
    if (type != kTypeNmea)
        return false;
    switch (id) {
    case kIdGGA: d.bProcessGGA(bytes); return true;
    case kIdGSA: d.bProcessGSA(bytes); return true;
    case kIdGST: d.bProcessGST(bytes); return true;
    case kIdRMC: d.bProcessRMC(bytes); return true;
    case kIdZDA: d.bProcessZDA(bytes); return true;
    default: return false;
    }
}

} // namespace wirra
