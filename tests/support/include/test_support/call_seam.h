// Stands between the editor and the record manager: records every call and can
// make a chosen call fail with a chosen status instead of reaching BTRCALL.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "store/btr_call.h"

namespace test_support {

class CallSeam {
public:
    struct Call {
        std::uint16_t operation;
        std::string fileName;  // Open: the name in the key buffer; empty otherwise
        std::uint8_t keyLength;
        std::int16_t status;                  // what the caller got back
        std::int8_t keyNumber = 0;            // Open: the mode
        const void* positionBlock = nullptr;  // which open file the call went to
    };

    // Every call made through call(), in order.
    std::vector<Call> calls;

    // One call of operation, after skip further calls of it have gone through, returns
    // status without reaching BTRCALL. Several failures may be pending.
    void failNext(std::uint16_t operation, std::int16_t status, std::size_t skip = 0);

    // The function value to hand to the editor; it refers to this seam, which must outlive it.
    store::BtrCall call();

    // The operation codes of the recorded calls, in order.
    std::vector<std::uint16_t> operations() const;
    // The names of the files opened, in order.
    std::vector<std::string> openedFiles() const;

private:
    struct Failure {
        std::uint16_t operation;
        std::int16_t status;
        std::size_t skip;
    };
    std::deque<Failure> failures_;
};

}  // namespace test_support
