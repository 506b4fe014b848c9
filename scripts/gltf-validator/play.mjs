#!/usr/bin/env node
// Plays an exported .glb as web viewers play it, with three.js: its own GLTFLoader reads the
// file, an AnimationMixer plays one animation, and three.js morphs and skins every vertex of the
// scene's meshes. Prints one JSON line per time asked: {"time", "positions": [[x, y, z]...]},
// the vertices in the file's order. For checking exports against qxtool animate and play.
// Images are left out: node has no image decoder, and they do not move anything.
// usage: play.mjs FILE.glb ANIMATION TIME...
import fs from 'fs';
import * as THREE from 'three';
import { GLTFLoader } from 'three/addons/loaders/GLTFLoader.js';

// three.js's file loader reports progress with the browser's ProgressEvent, which node lacks.
globalThis.ProgressEvent ??= class extends Event {
    constructor(type, init = {}) {
        super(type);
        Object.assign(this, init);
    }
};

const [file, animationName, ...times] = process.argv.slice(2);
if (!file || !animationName) {
    console.error('usage: play.mjs FILE.glb ANIMATION TIME...');
    process.exit(2);
}

const glb = fs.readFileSync(file);
const jsonLength = glb.readUInt32LE(12);
const json = JSON.parse(glb.subarray(20, 20 + jsonLength).toString('utf8'));
const bin = glb.subarray(28 + jsonLength, 28 + jsonLength + glb.readUInt32LE(20 + jsonLength));
json.buffers[0].uri = 'data:application/octet-stream;base64,' + bin.toString('base64');
for (const key of ['images', 'textures', 'samplers']) delete json[key];
for (const material of json.materials || []) delete material.pbrMetallicRoughness.baseColorTexture;

new GLTFLoader().parse(JSON.stringify(json), '', (gltf) => {
    const clip = gltf.animations.find((a) => a.name === animationName);
    if (!clip) {
        console.error(`play.mjs: ${file} has no animation ${animationName}`);
        process.exit(1);
    }
    const mixer = new THREE.AnimationMixer(gltf.scene);
    mixer.clipAction(clip).play();
    const meshes = [];
    gltf.scene.traverse((o) => { if (o.isMesh) meshes.push(o); });
    for (const t of times.map(Number)) {
        mixer.setTime(t);
        gltf.scene.updateMatrixWorld(true);
        const positions = [];
        for (const mesh of meshes) {
            if (mesh.isSkinnedMesh) mesh.skeleton.update();
            const count = mesh.geometry.attributes.position.count;
            const v = new THREE.Vector3();
            for (let i = 0; i < count; ++i) {
                mesh.getVertexPosition(i, v);
                if (!mesh.isSkinnedMesh) v.applyMatrix4(mesh.matrixWorld);
                positions.push([v.x, v.y, v.z]);
            }
        }
        console.log(JSON.stringify({ time: t, positions }));
    }
}, (error) => {
    console.error(`play.mjs: ${file}: ${error}`);
    process.exit(1);
});
