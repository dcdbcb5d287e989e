// Errors of the system. Every command failure is one of these exceptions; one dispatcher in the
// shell turns them into the standard error box (GUI) or a message on stderr (command line).
#pragma once

#include <stdexcept>
#include <string>

// Message texts (UTF-8), exactly as the program shows them.
namespace msg {
inline constexpr const char* kDivideByZero = "0 による浮動小数点数除算";
inline constexpr const char* kInvalidOperation = "不正な浮動小数点数演算命令";
inline constexpr const char* kOverflow = "浮動小数点数のオーバーフロー";
inline constexpr const char* kOutOfMemory = "メモリが不足しています";
// The filter dialogs' answers to out-of-range input.
inline constexpr const char* kEdgeRange = "1.0-5.0の数字を入力してください";
inline constexpr const char* kPositiveNumber = "正の数字を入力してください";
inline constexpr const char* kGammaPositive = "整数を入力してください";
// Guide-miss canceller parameters that only the close box lets through.
inline constexpr const char* kGmcFlowNegative = "流れ量には0以上の整数を入力してください";
inline constexpr const char* kGmcBlurNotPositive = "ぼけ量には正の数字を入力してください";
}  // namespace msg

// Base of every error the system raises on purpose. what() is the user-visible message.
class HvError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Text that does not parse as the number a field asks for.
class ConversionError : public HvError {
  public:
    using HvError::HvError;
};

// Floating-point faults, as the x87 unit would report them with its exceptions unmasked.
enum class FpFault { DivideByZero, InvalidOperation, Overflow };

class FloatingPointError : public HvError {
  public:
    explicit FloatingPointError(FpFault fault);
    FpFault fault() const { return m_fault; }

  private:
    FpFault m_fault;
};

// A plane, buffer, kernel or picture that could not be allocated.
class OutOfMemoryError : public HvError {
  public:
    OutOfMemoryError() : HvError(msg::kOutOfMemory) {}
    explicit OutOfMemoryError(const std::string& what) : HvError(what) {}
};

// A file that cannot be opened, created, read or written, or whose contents are refused.
class FileError : public HvError {
  public:
    using HvError::HvError;
};
