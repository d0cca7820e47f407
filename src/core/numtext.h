// Number texts, the one place where the program turns numbers into text and back:
// the locale's decimal separator, integer part = largest whole number not above the value,
// halves rounded to the even integer, 15 significant digits for the default text.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace sky {

// A text, a record or a log that does not hold what its format says: a number that is none, a
// record with too few fields, a time stamp that is no date.
class DataError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The default text of a double: up to 15 significant digits, no trailing zeros, no thousands
// separator, `separator` as decimal point; an exponent ("1.5E-05", "1E+15") below 0.0001 and
// from 1E+15 on.
std::string DefaultText(double value, std::string_view separator);

// The default text of a single-precision value: up to 7 significant digits.
std::string SingleText(float value, std::string_view separator);

// Like DefaultText, but always plain decimal notation (never an exponent).
std::string PlainText(double value, std::string_view separator);

// Plain decimal text (never an exponent) of the fewest significant digits that read back as the
// same single-precision value: 10000000 gives "10000000", 0.00001 gives "0.00001", 2.5 gives
// "2.5", the largest single "340282350000000000000000000000000000000".
std::string PlainSingleText(float value, std::string_view separator);

// Cuts a number text `decimals` places behind the separator (truncation, not rounding); a text
// without the separator keeps its first `decimals` characters. A cut text that ends with the
// exponent letter "E" loses that letter.
std::string CutDecimals(std::string text, std::string_view separator, size_t decimals);

// The text before the decimal separator: truncation toward zero of a plain number text
// ("123.9" gives "123", "-0.5" gives "-0").
std::string WholePart(std::string text, std::string_view separator);

// The integer part: the largest whole number not above the value (-0.5 gives "-1").
int64_t Floor64(double value);
std::string FloorText(double value);

// Rounds to the nearest integer, halves to the even one (2.5 gives 2, 3.5 gives 4).
int64_t RoundHalfEven(double value);

// Reads a decimal number: optional blanks around it, a sign, digits with one decimal point
// (`separator` or "."), an optional exponent. Empty optional when the text is not a number.
std::optional<double> ParseNumber(std::string_view text, std::string_view separator);
// The same where a number must stand: throws DataError naming the text (its first 40
// characters) when it is none.
double RequireNumber(std::string_view text, std::string_view separator);

// The first occurrence of `separator` becomes "."; texts without it stay as they are.
std::string KmlDecimalPoint(std::string_view text, std::string_view separator);

// Fills the "0" places of a number pattern with the digits of `digits`, from the right; the
// pattern's other characters are copied ("00:00" with "1405" gives "14:05"). Digits beyond the
// pattern's places go before the first place, missing ones are zeros.
std::string FormatDigits(std::string_view digits, std::string_view pattern);

}  // namespace sky
