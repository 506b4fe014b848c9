#pragma once
// An MD2 model as the converter needs it: the header, the frames with their positions already
// decoded (scale, translate, and turned so that MD2's up axis z becomes this program's y), the
// normals looked up in the MD2 normal table and turned likewise, and the OpenGL command list
// with t flipped for skins uploaded bottom row first. Skin names, the texture coordinate table
// and the triangle table are not read.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vertex/VertexModel.h"

namespace qx {

// Indices into Md2Model::header of the fields the reader uses.
inline constexpr int Md2Magic = 0;
inline constexpr int Md2Version = 1;
inline constexpr int Md2VertexCount = 6;
inline constexpr int Md2FrameCount = 10;
inline constexpr int Md2FrameOffset = 14;
inline constexpr int Md2CommandOffset = 15;
inline constexpr int Md2HeaderFields = 17;

struct Md2Frame {
    char name[16] = {};                 // as stored; not necessarily 0-ended
    std::vector<FrameVertex> vertices;  // header vertex count entries
};

struct Md2Model {
    std::int32_t header[Md2HeaderFields] = {};  // as read
    std::string skinPath;                       // the MD2 path less its last 4 characters, plus ".bmp"
    std::vector<Md2Frame> frames;
    std::vector<DrawCommand> commands;  // type 1 strip, 0 fan; t already flipped
};

// Reads an MD2 file; none with a short reason when it cannot be read, is not an MD2 of version
// 8, declares frames the file cannot hold, or a command list that starts beyond its end. A
// vertex count without frames is read as it is: only frames hold vertices.
// The command list ends at a 0 count or at the end of the data; a group cut short by the end
// is dropped.
std::unique_ptr<Md2Model> readMd2(const std::string& path, std::string* reason = nullptr);

// Parses a whole file held in memory; skinPath stays empty.
std::unique_ptr<Md2Model> parseMd2(const std::uint8_t* data, std::size_t size, std::string* reason = nullptr);

// The frame name: its bytes up to the first 0 byte, at most 16.
std::string md2FrameName(const Md2Frame& frame);

}  // namespace qx
