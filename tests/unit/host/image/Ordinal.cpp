// A library whose one function is exported by ordinal only, for the loader's ordinal imports.
extern "C" int ordinalAnswer() { return 4242; }
