// Whole-file reading and writing for the builder, the same on the host and on Windows:
// paths from UTF-8 texts, errors as texts, output replaced in one step through a temporary.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumo::builder {

using Bytes = std::vector<std::uint8_t>;

// A path from a UTF-8 text; '\' and '/' both separate folders so project files travel.
std::filesystem::path pathFromUtf8(std::string_view utf8);
// The path as UTF-8, for messages and JSON.
std::string pathToUtf8(const std::filesystem::path& path);

// The whole file; nullopt with `error` set (for example "No such file or directory").
std::optional<Bytes> readFile(const std::filesystem::path& path, std::string& error);

// Writes the parts, in order, to a temporary file beside `target` and renames it into place,
// so `target` is either untouched or complete. The temporary is removed on any failure.
bool replaceFile(const std::filesystem::path& target, std::span<const std::span<const std::uint8_t>> parts,
                 std::string& error);

// The running program's own file.
std::filesystem::path ownExecutable();

}  // namespace lumo::builder
