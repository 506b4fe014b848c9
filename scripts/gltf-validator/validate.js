#!/usr/bin/env node
// Runs the Khronos glTF Validator on each file given (.glb, or .gltf with its .bin beside it) and
// fails on any error or warning. Information and hints are printed but do not fail.
'use strict';
const fs = require('fs');
const path = require('path');

let validator;
try {
    validator = require('gltf-validator');
} catch (e) {
    console.error('validate.js: gltf-validator is not installed here; run scripts/setup (npm ci in ' + __dirname + ')');
    process.exit(2);
}

async function validate(file) {
    const bytes = new Uint8Array(fs.readFileSync(file));
    const report = await validator.validateBytes(bytes, {
        uri: path.basename(file),
        maxIssues: 0,
        externalResourceFunction: (uri) => new Promise((resolve, reject) => {
            fs.readFile(path.resolve(path.dirname(file), decodeURIComponent(uri)), (err, data) => {
                if (err) reject(err.toString()); else resolve(new Uint8Array(data));
            });
        }),
    });
    const counts = report.issues;
    console.log(`${file}: ${counts.numErrors} errors, ${counts.numWarnings} warnings, ` +
                `${counts.numInfos} infos, ${counts.numHints} hints ` +
                `(validator ${report.validatorVersion})`);
    for (const message of counts.messages) {
        if (message.severity <= 1 || process.env.QX_VALIDATOR_VERBOSE)
            console.log(`  ${['error', 'warning', 'info', 'hint'][message.severity]} ${message.code} ` +
                        `${message.pointer || ''} ${message.message}`);
    }
    return counts.numErrors === 0 && counts.numWarnings === 0;
}

async function main() {
    const files = process.argv.slice(2);
    if (files.length === 0) {
        console.error('usage: validate.js FILE.glb|FILE.gltf...');
        process.exit(2);
    }
    let ok = true;
    for (const file of files) {
        try {
            ok = (await validate(file)) && ok;
        } catch (e) {
            console.log(`${file}: ${e}`);
            ok = false;
        }
    }
    process.exit(ok ? 0 : 1);
}

main();
