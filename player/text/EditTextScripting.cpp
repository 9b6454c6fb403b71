// What scripts do to a text field beyond setting its text: flags changed after it was made,
// text replaced in a range, formats applied to a range.
#include "EditTextState.h"

namespace text {

namespace {
// Calls `each(start, stop, format)` for the pieces of [from, to) that have one format each.
template <typename Each>
void forEachPiece(const StyledText& styled, size_t from, size_t to, Each each) {
  for (size_t i = from; i < to;) {
    size_t stop = to;
    for (const FormatRun& run : styled.runs)
      if (run.start > i && run.start < stop) stop = run.start;
    each(i, stop, styled.formatAt(i));
    i = stop;
  }
}
}  // namespace

EditTextRecord& EditTextState::scriptRecord() {
  changed();
  return record_;
}

void EditTextState::replaceRange(size_t begin, size_t end, std::u16string_view text) {
  const size_t size = styled_.text.size();
  begin = std::min(begin, size);
  end = std::min(std::max(begin, end), size);
  const TextFormat format = size == 0 ? defaultFormat_ : styled_.formatAt(begin);
  StyledText next;
  const std::u16string_view all(styled_.text);
  forEachPiece(styled_, 0, begin, [&](size_t a, size_t b, const TextFormat& f) { next.append(all.substr(a, b - a), f); });
  next.append(text, format);
  forEachPiece(styled_, end, size, [&](size_t a, size_t b, const TextFormat& f) { next.append(all.substr(a, b - a), f); });
  if (next.runs.empty()) next.runs.push_back({0, format});
  styled_ = std::move(next);
  caret_ = anchor_ = begin + text.size();
  changed();
}

void EditTextState::formatRange(size_t begin, size_t end, const std::function<void(TextFormat&)>& change) {
  const size_t size = styled_.text.size();
  begin = std::min(begin, size);
  end = std::min(std::max(begin, end), size);
  if (begin == end) return;
  StyledText next;
  const std::u16string_view all(styled_.text);
  forEachPiece(styled_, 0, size, [&](size_t a, size_t b, const TextFormat& f) {
    auto piece = [&](size_t from, size_t to, bool changing) {
      if (from >= to) return;
      TextFormat format = f;
      if (changing) change(format);
      next.append(all.substr(from, to - from), format);
    };
    piece(a, std::min(b, begin), false);
    piece(std::max(a, begin), std::min(b, end), true);
    piece(std::max(a, end), b, false);
  });
  styled_ = std::move(next);
  changed();
}

}  // namespace text
