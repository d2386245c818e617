#pragma once
// Error texts may quote a connection string back: its password must not reach
// a message box, while every other character of the driver's words stays.
#include <initializer_list>
#include <string>
#include <string_view>

namespace orvitex::db {

// Replaces each of the connection strings where the text quotes it whole, and the
// value of every password key (Password=…, PWD=…, quoted or in braces), by "***".
[[nodiscard]] std::u16string MaskSecrets(
    std::u16string text, std::initializer_list<std::u16string_view> connectionStrings);

}  // namespace orvitex::db
