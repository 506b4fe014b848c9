# Makes the glTF files in this folder with Blender, as an artist's export would be:
#   blender --background --factory-startup --python tests/gltf/blender/make-samples.py
# arm.glb: a three-bone arm skinned rigidly (one bone per vertex), a textured material and two
#          actions; it comes back as a skeletal mesh whose motions play the same poses.
# lamp.glb: a cone with an animated shape key and an animated object transform, no armature; it
#          comes back as a vertex model.
import math
import os

import bmesh
import bpy

here = os.path.dirname(os.path.abspath(__file__))


def empty_scene():
    bpy.ops.wm.read_factory_settings(use_empty=True)
    scene = bpy.context.scene
    scene.render.fps = 24
    scene.frame_start = 1
    scene.frame_end = 41
    return scene


def checker_material(name):
    image = bpy.data.images.new(name + "-checker", 8, 8)
    pixels = []
    for y in range(8):
        for x in range(8):
            on = (x + y) % 2 == 0
            pixels += [0.9, 0.5, 0.1, 1.0] if on else [0.1, 0.2, 0.7, 1.0]
    image.pixels = pixels
    image.pack()
    material = bpy.data.materials.new(name)
    material.use_nodes = True
    shader = material.node_tree.nodes["Principled BSDF"]
    texture = material.node_tree.nodes.new("ShaderNodeTexImage")
    texture.image = image
    material.node_tree.links.new(texture.outputs["Color"], shader.inputs["Base Color"])
    return material


def tube(name, rings, segments, radius, height):
    mesh = bpy.data.meshes.new(name)
    b = bmesh.new()
    uv = b.loops.layers.uv.new()
    verts = []
    for r in range(rings):
        z = height * r / (rings - 1)
        verts.append([b.verts.new((radius * math.cos(2 * math.pi * s / segments),
                                   radius * math.sin(2 * math.pi * s / segments), z)) for s in range(segments)])
    for r in range(rings - 1):
        for s in range(segments):
            n = (s + 1) % segments
            face = b.faces.new((verts[r][s], verts[r][n], verts[r + 1][n], verts[r + 1][s]))
            for loop, (u, v) in zip(face.loops, ((s, r), (s + 1, r), (s + 1, r + 1), (s, r + 1))):
                loop[uv].uv = (u / segments, v / (rings - 1))
    b.to_mesh(mesh)
    b.free()
    return mesh


def make_arm():
    empty_scene()
    armature_data = bpy.data.armatures.new("ArmRig")
    rig = bpy.data.objects.new("ArmRig", armature_data)
    bpy.context.collection.objects.link(rig)
    bpy.context.view_layer.objects.active = rig
    bpy.ops.object.mode_set(mode="EDIT")
    names = ["upper_arm", "forearm", "hand"]
    parent = None
    for i, name in enumerate(names):
        bone = armature_data.edit_bones.new(name)
        bone.head = (0, 0, i)
        bone.tail = (0, 0, i + 1)
        bone.roll = 0.3 * i
        if parent is not None:
            bone.parent = parent
            bone.use_connect = True
        parent = bone
    bpy.ops.object.mode_set(mode="OBJECT")

    mesh = tube("Arm", rings=13, segments=8, radius=0.25, height=3.0)
    arm = bpy.data.objects.new("Arm", mesh)
    bpy.context.collection.objects.link(arm)
    arm.parent = rig
    modifier = arm.modifiers.new("Armature", "ARMATURE")
    modifier.object = rig
    groups = [arm.vertex_groups.new(name=n) for n in names]
    for v in mesh.vertices:
        # Rigid: each ring belongs to the bone it lies along, a joint's ring to the lower bone.
        groups[min(int(v.co.z + 1e-6), 2)].add([v.index], 1.0, "REPLACE")
    mesh.materials.append(checker_material("Skin"))

    def action(name, keys):
        act = bpy.data.actions.new(name)
        rig.animation_data_create()
        rig.animation_data.action = act
        for frame, angles in keys:
            for bone_name, (axis, degrees) in zip(names, angles):
                pose = rig.pose.bones[bone_name]
                pose.rotation_mode = "QUATERNION"
                euler = [0.0, 0.0, 0.0]
                euler["XYZ".index(axis)] = math.radians(degrees)
                pose.rotation_quaternion = __import__("mathutils").Euler(euler).to_quaternion()
                pose.keyframe_insert("rotation_quaternion", frame=frame)
        track = rig.animation_data.nla_tracks.new()
        track.name = name
        track.strips.new(name, 1, act)
        rig.animation_data.action = None

    action("wave", [(1, [("X", 0), ("X", 0), ("Z", 0)]), (21, [("X", 40), ("X", 70), ("Z", 90)]),
                    (41, [("X", 0), ("X", 0), ("Z", 0)])])
    action("reach", [(1, [("Y", 0), ("X", 0), ("X", 0)]), (11, [("Y", -30), ("X", -45), ("X", 20)]),
                     (25, [("Y", 20), ("X", -90), ("X", -30)])])
    bpy.ops.export_scene.gltf(filepath=os.path.join(here, "arm.glb"), export_format="GLB",
                              export_animations=True, export_skins=True, export_nla_strips=True,
                              export_image_format="AUTO")


def make_lamp():
    empty_scene()
    bpy.ops.mesh.primitive_cone_add(vertices=10, radius1=1.0, radius2=0.3, depth=1.5)
    lamp = bpy.context.active_object
    lamp.name = "Lamp"
    lamp.shape_key_add(name="Basis")
    squash = lamp.shape_key_add(name="Squash")
    for point in squash.data:
        point.co.z *= 0.4
        point.co.x *= 1.3
        point.co.y *= 1.3
    key = lamp.data.shape_keys.key_blocks["Squash"]
    for frame, value in ((1, 0.0), (11, 1.0), (21, 0.0)):
        key.value = value
        key.keyframe_insert("value", frame=frame)
    for frame, z in ((1, 0.0), (11, 0.8), (21, 0.0)):
        lamp.location = (0.0, 0.0, z)
        lamp.keyframe_insert("location", frame=frame)
    material = bpy.data.materials.new("Brass")
    material.use_nodes = True
    material.node_tree.nodes["Principled BSDF"].inputs["Base Color"].default_value = (0.8, 0.6, 0.2, 1.0)
    lamp.data.materials.append(material)
    bpy.context.scene.frame_end = 21
    bpy.ops.export_scene.gltf(filepath=os.path.join(here, "lamp.glb"), export_format="GLB",
                              export_animations=True, export_morph=True)


make_arm()
make_lamp()
