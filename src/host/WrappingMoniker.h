// The moniker the CreateURLMoniker hook hands the player: it keeps the URL and, when bound
// to storage, lets the movie streams answer before falling back to urlmon's own moniker.
#pragma once

#include <windows.h>
#include <urlmon.h>
#include <wrl/client.h>

#include <string>

namespace lumo {

class MovieStreams;

// A wrapper around `inner` (urlmon's moniker for `url`); one reference for the caller.
Microsoft::WRL::ComPtr<IMoniker> wrapUrlMoniker(MovieStreams& streams, Microsoft::WRL::ComPtr<IMoniker> inner,
                                                std::wstring url);

}  // namespace lumo
