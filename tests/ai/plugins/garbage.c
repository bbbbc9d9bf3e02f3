/* A bot that answers a letter outside the contract. */
#include "botcontract.h"

__attribute__((visibility("default"))) const BotCommand* _DirudEnter(BotCellInfoFunc cellInfo,
                                                                     BotMyRecordFunc myRecord,
                                                                     const BotParams* params)
{
    static BotCommand command = {'Z', {0, 0, 0}, 7};
    (void)cellInfo;
    (void)myRecord;
    (void)params;
    return &command;
}
