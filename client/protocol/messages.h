#pragma once
// The decoded contents of every message that carries data, one struct per
// row of messages.def with its fields in wire order. The receive assemblers
// hand these to their handlers; the encoders take them. Numbers are passed on
// as they came: range checks belong to the handlers.

#include <cstdint>
#include <QByteArray>
#include <QString>

namespace vorlan {

#define VORLAN_MESSAGE_STRUCT(Struct, fields)                                                      \
    struct Struct                                                                                  \
    {                                                                                              \
        fields bool operator==(const Struct&) const = default;                                     \
    };

#define INT(member, ...) int32_t member{__VA_ARGS__};
#define BYTE_INT(member, ...) int32_t member{__VA_ARGS__};
#define CHAR(member, ...) char member{__VA_ARGS__};
#define STRING(member) QString member;
#define STRING_UPTO(member, max) QString member;
#define BLOB(member) QByteArray member;
#define ZERO()
#define FIXED(letter)
#define TO_CLIENT(name, code, Struct, fields) VORLAN_MESSAGE_STRUCT(Struct, fields)
#define TO_CLIENT_TWO_PARTS(name, code, Struct, first, FirstStruct, firstFields, second,           \
                            SecondStruct, secondFields)                                            \
    VORLAN_MESSAGE_STRUCT(Struct, firstFields secondFields)                                        \
    VORLAN_MESSAGE_STRUCT(FirstStruct, firstFields)                                                \
    VORLAN_MESSAGE_STRUCT(SecondStruct, secondFields)
#define TO_SERVER(name, code, flags, Struct, fields) VORLAN_MESSAGE_STRUCT(Struct, fields)
#include "messages.def"

#undef VORLAN_MESSAGE_STRUCT

} // namespace vorlan
