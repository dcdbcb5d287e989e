#include "core/errors.h"

namespace {
const char* faultMessage(FpFault fault) {
    switch (fault) {
        case FpFault::DivideByZero:
            return msg::kDivideByZero;
        case FpFault::InvalidOperation:
            return msg::kInvalidOperation;
        case FpFault::Overflow:
            return msg::kOverflow;
    }
    return msg::kInvalidOperation;
}
}  // namespace

FloatingPointError::FloatingPointError(FpFault fault) : HvError(faultMessage(fault)), m_fault(fault) {}
