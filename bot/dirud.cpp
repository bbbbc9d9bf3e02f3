#include "botcontract.h"

extern "C" __attribute__((visibility("default"))) const BotCommand*
_DirudEnter(BotCellInfoFunc, BotMyRecordFunc, const BotParams*)
{
    return nullptr;
}
