#include "ProjectSettings.h"

#include "RecordFields.h"
#include "RecordInput.h"

#include <zlib.h>

#include <array>
#include <new>
#include <stdexcept>

namespace lumo::record {

namespace {

// Inflates a zlib stream of exactly `expected` bytes. With `out` null the bytes are only
// counted, which is how a whole record is checked at load without keeping its pictures.
bool inflateExactly(const Bytes& stored, BlockKind kind, std::int64_t expected, Bytes* out) {
  const Bytes packed = StoredBlock{stored, {}}.plain(kind);
  // A block may claim up to 1 GiB: where that much memory is not to be had, the block fails
  // like a corrupt one instead of throwing out of the reader.
  if (out) {
    try {
      out->resize(static_cast<std::size_t>(expected));
    } catch (const std::bad_alloc&) {
      return false;
    } catch (const std::length_error&) {
      return false;
    }
  }
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  z.next_in = const_cast<Bytef*>(packed.data());
  z.avail_in = static_cast<uInt>(packed.size());
  std::array<Bytef, 64 * 1024> scratch;
  std::int64_t produced = 0;
  int status = Z_OK;
  while (status == Z_OK) {
    if (out) {
      // One spare byte past the expected end shows a stream that is too long.
      if (produced == expected) {
        z.next_out = scratch.data();
        z.avail_out = 1;
      } else {
        z.next_out = out->data() + produced;
        z.avail_out = static_cast<uInt>(std::min<std::int64_t>(expected - produced, 1 << 30));
      }
    } else {
      z.next_out = scratch.data();
      z.avail_out = static_cast<uInt>(scratch.size());
    }
    const uInt before = z.avail_out;
    status = inflate(&z, Z_NO_FLUSH);
    produced += before - z.avail_out;
    if (produced > expected) status = Z_DATA_ERROR;
    if (status == Z_BUF_ERROR && z.avail_in == 0) break;  // the input ended early
  }
  inflateEnd(&z);
  return status == Z_STREAM_END && produced == expected;
}

class RecordReader {
 public:
  RecordReader(std::FILE* stream, std::shared_ptr<const NativePath> source)
      : in_(stream), source_(std::move(source)) {}

  bool integer(std::int32_t& value) { return in_.readInt(value); }
  bool flag(bool& value) { return in_.readFlag(value); }
  bool text(std::wstring& value) { return in_.readText(value); }

  bool block(StoredBlock& block) {
    std::int32_t n = 0;
    return in_.readInt(n) && in_.readBytes(n, block.stored);
  }

  bool packed(PackedBlock& block, BlockKind kind) {
    std::int32_t n = 0;
    if (!in_.readInt(n) || !in_.readInt(block.unpackedLength) || !in_.readBytes(n, block.stored)) return false;
    if (block.stored.empty()) return true;
    // A negative or absurd unpacked length, or a stream that does not inflate to it, is a
    // corrupt record: refused here rather than at the first use of the picture.
    if (block.unpackedLength < 0 || block.unpackedLength > kMaxUnpackedLength) return false;
    return inflateExactly(block.stored, kind, block.unpackedLength, nullptr);
  }

  bool protectedString(ProtectedString& value) {
    std::int32_t kind = 0;
    if (!in_.readInt(kind)) return false;
    if (kind == 1) {
      std::int32_t n = 0;
      Bytes bytes;
      if (!in_.readInt(n) || !in_.readBytes(n, bytes)) return false;
      value.setEnciphered(std::move(bytes));
      return true;
    }
    std::wstring plain;
    if (!in_.readText(plain)) return false;
    value.set(plain);
    return true;
  }

  bool blob(ScrambledBlob& blob) { return in_.readInt(blob.tag) && block(blob.block); }

  bool forms(std::vector<std::unique_ptr<FormDescription>>& forms) {
    std::int32_t count = 0;
    if (!in_.readInt(count)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
      auto form = std::make_unique<FormDescription>();
      if (!in_.readInt(form->formVersion) || !visitFormFields(*this, *form, form->formVersion)) return false;
      forms.push_back(std::move(form));
    }
    return true;
  }

  bool blobList(std::vector<ScrambledBlob>& list) {
    std::int32_t count = 0;
    if (!in_.readInt(count)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
      ScrambledBlob item;
      if (!blob(item)) return false;
      list.push_back(std::move(item));
    }
    return true;
  }

  template <typename Value, typename ReadValue>
  bool table(std::map<std::wstring, Value>& table, ReadValue readValue) {
    std::int32_t count = 0;
    if (!in_.readInt(count)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
      std::wstring name;
      Value value;
      if (!in_.readText(name) || !readValue(value)) return false;
      table[name] = std::move(value);  // a repeated name keeps the later value
    }
    return true;
  }
  bool protectedTable(std::map<std::wstring, ProtectedString>& t) {
    return table(t, [this](ProtectedString& value) { return protectedString(value); });
  }
  // Library files: their bytes stay in the source file, their lengths checked all the same.
  bool blobTable(std::map<std::wstring, ScrambledBlob>& t) {
    return table(t, [this](ScrambledBlob& value) { return source_ ? deferredBlob(value) : blob(value); });
  }
  bool deferredBlob(ScrambledBlob& blob) {
    std::int32_t n = 0;
    if (!in_.readInt(blob.tag) || !in_.readInt(n)) return false;
    if (n <= 0) return true;
    blob.block.slice = FileSlice{source_, in_.position(), n};
    return in_.skip(n);
  }

  bool reservedInt() { std::int32_t ignored; return in_.readInt(ignored); }
  bool reservedFlag() { bool ignored; return in_.readFlag(ignored); }
  bool reservedText() { std::wstring ignored; return in_.readText(ignored); }
  bool reservedBlock() { StoredBlock ignored; return block(ignored); }
  bool reservedProtectedList() {
    std::int32_t count = 0;
    if (!in_.readInt(count)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
      ProtectedString ignored;
      if (!protectedString(ignored)) return false;
    }
    return true;
  }

  bool version(std::int32_t& value) { return in_.readInt(value); }

 private:
  RecordInput in_;
  std::shared_ptr<const NativePath> source_;
};

}  // namespace

StoredBlock StoredBlock::fromPlain(Bytes plain, BlockKind kind) {
  transformBlock(plain, kind);
  return StoredBlock{std::move(plain), {}};
}

std::optional<Bytes> FileSlice::read() const {
  if (!file) return std::nullopt;
  if (size <= 0) return Bytes{};
#ifdef _WIN32
  std::FILE* f = _wfopen(file->c_str(), L"rb");
#else
  std::FILE* f = std::fopen(file->c_str(), "rb");
#endif
  if (!f) return std::nullopt;
  Bytes bytes(static_cast<std::size_t>(size));
#ifdef _WIN32
  const bool placed = _fseeki64(f, offset, SEEK_SET) == 0;
#else
  const bool placed = fseeko(f, offset, SEEK_SET) == 0;
#endif
  const bool whole = placed && std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
  std::fclose(f);
  if (!whole) return std::nullopt;
  return bytes;
}

std::optional<Bytes> StoredBlock::readPlain(BlockKind kind) const {
  std::optional<Bytes> copy = slice.file ? slice.read() : stored;
  if (copy) transformBlock(*copy, kind);
  return copy;
}

PackedBlock PackedBlock::pack(const Bytes& plain, BlockKind kind) {
  PackedBlock block;
  if (plain.empty()) return block;
  uLongf size = compressBound(static_cast<uLong>(plain.size()));
  block.stored.resize(size);
  compress2(block.stored.data(), &size, plain.data(), static_cast<uLong>(plain.size()), Z_BEST_COMPRESSION);
  block.stored.resize(size);
  transformBlock(block.stored, kind);
  block.unpackedLength = static_cast<std::int32_t>(plain.size());
  return block;
}

std::optional<Bytes> PackedBlock::unpack(BlockKind kind) const {
  if (stored.empty()) return Bytes{};
  if (unpackedLength < 0 || unpackedLength > kMaxUnpackedLength) return std::nullopt;
  Bytes out;
  if (!inflateExactly(stored, kind, unpackedLength, &out)) return std::nullopt;
  return out;
}

int FormDescription::movieVersion() const {
  if (movie.stored.size() < 4) return 0;
  const std::size_t n = movie.stored.size();
  return static_cast<std::uint8_t>(movie.stored[3] ^ static_cast<std::uint8_t>(K1 * 3 + n % 256 + K2));
}

void FormDescription::setMovieVersion(int version) {
  if (movie.stored.size() < 4) return;
  const std::size_t n = movie.stored.size();
  movie.stored[3] = static_cast<std::uint8_t>(version ^ static_cast<std::uint8_t>(K1 * 3 + n % 256 + K2));
}

bool FormDescription::writeMovieTo(const NativePath& path) const {
#ifdef _WIN32
  std::FILE* file = _wfopen(path.c_str(), L"wb+");
#else
  std::FILE* file = std::fopen(path.c_str(), "wb+");
#endif
  if (!file) return false;
  const Bytes bytes = movieBytes();
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

bool ProjectSettings::loadFromExecutable(const NativePath& path) {
#ifdef _WIN32
  std::FILE* file = _wfopen(path.c_str(), L"rb");
#else
  std::FILE* file = std::fopen(path.c_str(), "rb");
#endif
  if (!file) return false;
  std::setvbuf(file, nullptr, _IOFBF, 256 * 1024);
  // A mismatching byte resets the count and is not compared again with the first byte.
  const auto wanted = marker();
  std::size_t matched = 0;
  int c;
  while (matched < wanted.size() && (c = std::getc(file)) != EOF) {
    matched = (static_cast<std::uint8_t>(c) == wanted[matched]) ? matched + 1 : 0;
  }
  const bool result = matched == wanted.size() && read(file, std::make_shared<const NativePath>(path));
  std::fclose(file);
  return result;
}

bool ProjectSettings::read(std::FILE* stream, std::shared_ptr<const NativePath> source) {
  RecordReader reader(stream, std::move(source));
  return reader.version(version) && visitSettingsFields(reader, *this, version);
}

const ScrambledBlob* ProjectSettings::libraryFile(const std::wstring& name) const {
  const auto it = libraryFiles.find(name);
  return it == libraryFiles.end() ? nullptr : &it->second;
}

std::optional<std::wstring> ProjectSettings::secureVar(const std::wstring& name) const {
  const auto it = secureVariables.find(name);
  if (it == secureVariables.end()) return std::nullopt;
  return it->second.get();
}

std::optional<std::wstring> ProjectSettings::globalVar(const std::wstring& name) const {
  const auto it = globalVariables.find(name);
  if (it == globalVariables.end()) return std::nullopt;
  return it->second.get();
}

}  // namespace lumo::record
