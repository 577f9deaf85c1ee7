// An object's stored form as bytes and back, through a stream in memory.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "library/object_stream.h"
#include "library/object_stream_buffer.h"

namespace zarvo::testing {

// The bytes Put writes for OBJECT (null too), the stream's header first.
inline std::vector<std::uint8_t> PutBytes(tSObject* object) {
    tMemoryStream s;
    Put(s, object);
    EXPECT_EQ(s.Status, stOk) << "expected Put to succeed";
    return s.Bytes();
}

// Reads one object from BYTES; STATUS receives the stream's status.
inline tObjectPtr<tSObject> GetFrom(const std::vector<std::uint8_t>& bytes,
                                    std::int16_t* status = nullptr) {
    tMemoryStream s(bytes);
    tObjectPtr<tSObject> object(Get(s));
    if (status != nullptr)
        *status = s.Status;
    return object;
}

} // namespace zarvo::testing
