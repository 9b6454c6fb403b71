// Stands in for a player's support library: a loadable "swsupport.dll" next to the tests, so a
// refused load is told apart from a missing file.
extern "C" __declspec(dllexport) int supportLibraryPresent() { return 1; }
