#pragma once
// The glTF parser as every file of the importer includes it: without its own image codecs and
// file access (the importer brings both), the same in each file, as its class requires.

#ifndef TINYGLTF_NO_STB_IMAGE
#define TINYGLTF_NO_STB_IMAGE
#endif
#ifndef TINYGLTF_NO_STB_IMAGE_WRITE
#define TINYGLTF_NO_STB_IMAGE_WRITE
#endif
#ifndef TINYGLTF_NO_EXTERNAL_IMAGE
#define TINYGLTF_NO_EXTERNAL_IMAGE
#endif
#ifndef TINYGLTF_NO_FS
#define TINYGLTF_NO_FS
#endif
#include <fstream>  // its writer names file streams even without file access

#include <tiny_gltf.h>
