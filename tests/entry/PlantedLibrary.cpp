// A harmless library that the entry tests plant in a folder the search must not look in.
extern "C" __declspec(dllexport) int QuillsetPlanted() { return 17; }
