// The exported entry of the bot library. Everything else stays hidden.
#include "planner.h"

#include <type_traits>

#if defined(_WIN32)
#define DIRUD_EXPORT __declspec(dllexport)
#define DIRUD_CALL __cdecl
#else
#define DIRUD_EXPORT __attribute__((visibility("default")))
#define DIRUD_CALL
#endif

namespace {
// The library's whole state: zero when loaded, planned at the first call,
// kept until the library is unloaded.
constinit dirud::Planner planner;
} // namespace

extern "C" DIRUD_EXPORT const BotCommand* DIRUD_CALL _DirudEnter(BotCellInfoFunc cellInfo,
                                                                 BotMyRecordFunc myRecord,
                                                                 const BotParams* params)
{
    return planner.enter(cellInfo, myRecord, params);
}

// The entry must have exactly the contract's type.
static_assert(std::is_same_v<decltype(&_DirudEnter), BotEnterFunc>);
