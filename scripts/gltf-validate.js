#!/usr/bin/env node
// Validates a .glb or .gltf file with the Khronos glTF validator (npm
// package gltf-validator) and prints its report as JSON on stdout. External
// resources (buffers, images) are read from the file's folder. Exit status:
// 0 when a report was made, 2 for a usage error, 3 when the package is not
// installed, 1 when the validator could not read the file.
'use strict';
const fs = require('fs');
const path = require('path');

const file = process.argv[2];
if (!file || process.argv.length > 3) {
  console.error('usage: gltf-validate.js FILE.glb|FILE.gltf');
  process.exit(2);
}

let validator;
try {
  validator = require('gltf-validator');
} catch (e) {
  // A global install is not on the default search path of require().
  try {
    const { execSync } = require('child_process');
    const root = execSync('npm root -g', { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'] }).trim();
    validator = require(path.join(root, 'gltf-validator'));
  } catch (e2) {
    console.error('gltf-validator is not installed (npm install -g gltf-validator)');
    process.exit(3);
  }
}

const folder = path.dirname(path.resolve(file));
validator
  .validateBytes(new Uint8Array(fs.readFileSync(file)), {
    uri: path.basename(file),
    maxIssues: 0,
    writeTimestamp: false,
    externalResourceFunction: (uri) =>
      new Promise((resolve, reject) => {
        fs.readFile(path.resolve(folder, decodeURIComponent(uri)), (err, data) => {
          if (err) reject(err.toString());
          else resolve(new Uint8Array(data));
        });
      }),
  })
  .then(
    (report) => console.log(JSON.stringify(report, null, 2)),
    (error) => {
      console.error(String(error));
      process.exit(1);
    });
