#!/usr/bin/env python3
# Looks at an export as an artist would: F3D (a viewer of its own, not built from our code) draws
# it, qxtool render draws the model itself, and the model's pixels in F3D's picture must not be
# much darker than in ours. A model wound against its normals is lit from behind in F3D and
# shows as a dark silhouette, which the validator cannot see (winding is the writer's choice).
# Exit 77 (skipped) when the model is one of the shared test files and they are absent, or when
# F3D or xvfb-run is not installed.
# usage: f3d-brightness.py QXTOOL OUT_DIR NAME MODEL [MOTION...]
import json
import os
import shutil
import struct
import subprocess
import sys
import zlib

# F3D lights with a light kit of its own and a physically based material, dimmer than ours on
# white: lit right, the model pixels in its pictures measured 0.59 (the flag sample, white where
# we draw it near 245) to 0.95 (the figure) times as bright as ours. Lit from behind, every model
# was a silhouette at F3D's ambient level, about 20 of 255: 0.08 to 0.12 of ours. 0.3 leaves a
# factor of two to either side; a model whose own colours are darker than about 65 of 255 would
# pass as a silhouette too, and none of ours is.
MIN_RATIO = 0.3

SIZE = (320, 240)
BACKGROUND = (51, 51, 51)  # F3D's default, given to both so that model pixels mean the same
MIN_MODEL_PIXELS = SIZE[0] * SIZE[1] // 100


def read_png(path):
    """Rows of (r, g, b) of an 8-bit, non-interlaced RGB or RGBA PNG file."""
    data = open(path, 'rb').read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        sys.exit(f'{path}: not a PNG file')
    pos, idat = 8, bytearray()
    while pos + 8 <= len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b'IHDR':
            width, height, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', body)
        elif kind == b'IDAT':
            idat += body
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        sys.exit(f'{path}: only 8-bit non-interlaced RGB or RGBA is read here')
    step = 3 if colour == 2 else 4
    stride = width * step
    raw = zlib.decompress(bytes(idat))
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for x in range(stride):
            left = line[x - step] if x >= step else 0
            up = previous[x]
            corner = previous[x - step] if x >= step else 0
            if kind == 1:
                line[x] = (line[x] + left) & 255
            elif kind == 2:
                line[x] = (line[x] + up) & 255
            elif kind == 3:
                line[x] = (line[x] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pl, pu, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[x] = (line[x] + (left if pl <= pu and pl <= pc else up if pu <= pc else corner)) & 255
        rows.append([tuple(line[x:x + 3]) for x in range(0, stride, step)])
        previous = line
    return rows


def model_brightness(path):
    """Count and mean brightness (0..255) of the pixels that differ from the background."""
    count, total = 0, 0.0
    for row in read_png(path):
        for pixel in row:
            if max(abs(c - b) for c, b in zip(pixel, BACKGROUND)) > 2:
                count += 1
                total += 0.299 * pixel[0] + 0.587 * pixel[1] + 0.114 * pixel[2]
    return count, total / count if count else 0.0


def without_textures(source, target):
    """Writes the .glb source again without its materials' base colour textures.

    Brightness says something about light only where the colours beneath are alike: sydney's skin
    is mostly black leather, as dark in our own render as F3D's silhouette of her. So both
    pictures are drawn from the material colours alone (qxtool render --no-texture)."""
    data = open(source, 'rb').read()
    magic, version, _ = struct.unpack('<4sII', data[:12])
    json_length, json_kind = struct.unpack('<I4s', data[12:20])
    if magic != b'glTF' or version != 2 or json_kind != b'JSON':
        sys.exit(f'{source}: not a glTF 2.0 binary file')
    document = json.loads(data[20:20 + json_length])
    for material in document.get('materials', []):
        material.get('pbrMetallicRoughness', {}).pop('baseColorTexture', None)
    text = json.dumps(document).encode()
    text += b' ' * (-len(text) % 4)
    rest = data[20 + json_length:]
    with open(target, 'wb') as out:
        out.write(struct.pack('<4sII', b'glTF', 2, 20 + len(text) + len(rest)))
        out.write(struct.pack('<I4s', len(text), b'JSON') + text + rest)


def run(*command):
    # qxtool render loads the GL driver, whose thread-local storage the sanitizer build's exit
    # leak check cannot walk (see tests/support/Qxtool.h): drawing runs without that check.
    environment = dict(os.environ, ASAN_OPTIONS=os.environ.get('ASAN_OPTIONS', '') + ':detect_leaks=0')
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, env=environment)
    if result.returncode != 0:
        sys.exit(f'failed ({result.returncode}): {" ".join(command)}\n{result.stdout}')


def main():
    qxtool, out_dir, name, model, motions = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5:]
    if not os.path.exists(model):
        print(f'skipped: {model} not found (shared test data absent)')
        return 77
    for program in ('f3d', 'xvfb-run'):
        if shutil.which(program) is None:
            print(f'skipped: {program} is not installed (scripts/setup installs it)')
            return 77
    os.makedirs(out_dir, exist_ok=True)
    base = os.path.join(out_dir, name)
    run(qxtool, 'export', model, *motions, '-o', base + '.glb')
    without_textures(base + '.glb', base + '-untextured.glb')
    # F3D 1.3 needs an X display even to draw into a file. --dry-run keeps a user's configuration
    # out; nothing is drawn over the model unless asked for. Both draw the figure at rest (each
    # draws the same picture of it with or without its motions) and a vertex model at frame 0,
    # the mesh of its export.
    run('xvfb-run', '-a', '-s', '-screen 0 1280x1024x24', 'f3d', '--dry-run',
        f'--resolution={SIZE[0]},{SIZE[1]}', '--bg-color=' + ','.join(str(c / 255) for c in BACKGROUND),
        '--output=' + base + '-f3d.png', base + '-untextured.glb')
    played = [option for motion in motions for option in ('--motion', motion)]
    run(qxtool, 'render', model, *played, '--time', '0', '--no-texture', '--size', f'{SIZE[0]}x{SIZE[1]}',
        '--background', ','.join(map(str, BACKGROUND)), '--out', base + '-qxtool.png')

    f3d_count, f3d_mean = model_brightness(base + '-f3d.png')
    own_count, own_mean = model_brightness(base + '-qxtool.png')
    ratio = f3d_mean / own_mean if own_mean > 0 else 0.0
    print(f'{name}: model pixels in F3D {f3d_count}, mean brightness {f3d_mean:.1f}; '
          f'in qxtool render {own_count}, mean brightness {own_mean:.1f}; ratio {ratio:.2f} (at least {MIN_RATIO})')
    if f3d_count < MIN_MODEL_PIXELS or own_count < MIN_MODEL_PIXELS:
        print(f'{name}: FAILED: a picture shows almost nothing of the model (fewer than {MIN_MODEL_PIXELS} pixels)')
        return 1
    if ratio < MIN_RATIO:
        print(f'{name}: FAILED: F3D draws the model as a dark silhouette: lit from behind, its triangles '
              f'wound against their normals? (pictures: {base}-f3d.png, {base}-qxtool.png)')
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
