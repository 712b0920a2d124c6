// SPDX-License-Identifier: GPL-3.0-or-later
// Renders a ZPL label to PNG with zpl-renderer-js, a renderer of its own that shares nothing with
// pairwick. Usage: node render-zpl.cjs LABEL.zpl OUT.png (NODE_PATH: where the package is).
'use strict';
const fs = require('node:fs');
const { ready } = require('zpl-renderer-js');

(async () => {
    const { api } = await ready;
    // 50 x 30 mm at 8 dots a mm, as the example template is laid out.
    const png = await api.zplToBase64Async(fs.readFileSync(process.argv[2], 'utf8'), 50, 30, 8);
    fs.writeFileSync(process.argv[3], Buffer.from(png, 'base64'));
})().catch((error) => {
    console.error(String(error));
    process.exit(1);
});
