// Taking over a COM reference without adding one. MinGW's ComPtr::Attach calls AddRef (the
// reference WRL's Attach does not), so a fresh object handed to Attach would never be freed.
#pragma once

#include <wrl/client.h>

namespace lumo {

template <typename T>
Microsoft::WRL::ComPtr<T> adoptReference(T* object) {
  Microsoft::WRL::ComPtr<T> owner;
  *owner.GetAddressOf() = object;
  return owner;
}

}  // namespace lumo
