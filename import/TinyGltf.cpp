// The glTF parser's one compiled copy. Images are neither decoded nor written by it: the program
// decodes them with its own decoders (GltfImages.h) and reads files through its own callbacks
// (GltfDocument.cpp), so that every byte goes through code this project checks.
#define TINYGLTF_IMPLEMENTATION
#include "import/TinyGltf.h"
