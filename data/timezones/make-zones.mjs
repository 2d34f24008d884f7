#!/usr/bin/env node
// Makes zones.bin, the time zone of every place on earth, from the public
// time-zone boundary data of timezone-boundary-builder (ODbL 1.0).
//
// The boundaries are taken once from the npm package geo-tz, which ships the
// builder's full product ("timezones.geojson": one zone id at least per
// country, no ocean zones) cut into cells and stored as geobuf. Run
//
//   node data/timezones/make-zones.mjs [--out FILE] [--work DIR]
//
// with the npm registry reachable; nothing else is needed. The program never
// fetches anything: it reads the file this script writes.
//
// What the file holds: a quadtree over longitude and latitude (equal-angle
// cells, the world split in two along both axes at every level), whose leaves
// name one zone or the sea. Where two zones meet, cells go down to 2^-16 of
// the world (0.0055 degrees of longitude by 0.0027 of latitude, about 600 m by
// 300 m at the equator), so a point is at most half a cell from where the
// boundary data puts it. Where a zone meets the sea, cells stop at 2^-12
// (about 10 km by 5 km) and the land's zone wins: the boundary data already
// takes every country's territorial waters (22 km), so the shore and the
// water near it keep the land's zone and only the open sea loses a few km.
// The format is read by src/geo/zonemap.cpp; its layout is written there.

import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const GEO_TZ = 'geo-tz@8.1.9';
const GEOBUF = 'geobuf@3.0.2';
const PBF = 'pbf@3.3.0';
const DEPTH = 16;       // cells where zones meet
const COAST_DEPTH = 12; // cells where a zone meets the sea

const here = path.dirname(fileURLToPath(import.meta.url));
const args = process.argv.slice(2);
const option = (name, fallback) => {
    const at = args.indexOf(name);
    return at >= 0 && at + 1 < args.length ? args[at + 1] : fallback;
};
const outFile = option('--out', path.join(here, 'zones.bin'));
const ownWork = !args.includes('--work');
const workDir = option('--work', ownWork ? fs.mkdtempSync(path.join(os.tmpdir(), 'zones-')) : '');

// ---- the source -----------------------------------------------------------

function fetchSource() {
    const pkg = path.join(workDir, 'package');
    if (!fs.existsSync(path.join(pkg, 'data'))) {
        const tgz = execFileSync('npm', ['pack', GEO_TZ, '--silent'], { cwd: workDir }).toString().trim();
        execFileSync('tar', ['xzf', tgz], { cwd: workDir });
    }
    if (!fs.existsSync(path.join(workDir, 'node_modules', 'geobuf'))) {
        fs.writeFileSync(path.join(workDir, 'package.json'), '{"private": true}');
        execFileSync('npm', ['install', '--silent', '--no-audit', '--no-fund', GEOBUF, PBF], { cwd: workDir });
    }
    const require = createRequire(path.join(workDir, 'package.json'));
    return {
        index: JSON.parse(fs.readFileSync(path.join(pkg, 'data', 'timezones.geojson.index.json'))),
        features: fs.readFileSync(path.join(pkg, 'data', 'timezones.geojson.geo.dat')),
        geobuf: require('geobuf'),
        Pbf: require('pbf'),
    };
}

// ---- the source's cells, as plain arrays ----------------------------------

// The source's quadtree covers +-179.9999 by +-89.9999 and names its
// quadrants a (north-east), b (north-west), c (south-west), d (south-east).
function childRect(r, q) {
    const midLat = (r.top + r.bottom) / 2, midLon = (r.left + r.right) / 2;
    if (q === 'a') return { top: r.top, bottom: midLat, left: midLon, right: r.right };
    if (q === 'b') return { top: r.top, bottom: midLat, left: r.left, right: midLon };
    if (q === 'c') return { top: midLat, bottom: r.bottom, left: r.left, right: midLon };
    return { top: midLat, bottom: r.bottom, left: midLon, right: r.right };
}
const ROOT = { top: 89.9999, bottom: -89.9999, left: -179.9999, right: 179.9999 };

function loadSource(src, zoneIndex) {
    const edges = [];  // x1, y1, x2, y2 of every boundary segment that is no cut of the source's cells
    let cells = 0;
    const near = (a, b) => Math.abs(a - b) < 3e-6;
    const onCut = (r, x1, y1, x2, y2) =>
        (near(x1, r.left) && near(x2, r.left)) || (near(x1, r.right) && near(x2, r.right)) ||
        (near(y1, r.top) && near(y2, r.top)) || (near(y1, r.bottom) && near(y2, r.bottom));
    const walk = (node, rect) => {
        if (Array.isArray(node)) return { zone: zoneIndex.get(src.index.timezones[node[0]]) };
        if (node.pos !== undefined) {
            const fc = src.geobuf.decode(new src.Pbf(src.features.subarray(node.pos, node.pos + node.len)));
            const polys = [];
            for (const f of fc.features) {
                const g = f.geometry;
                const rings = [];
                for (const poly of g.type === 'Polygon' ? [g.coordinates] : g.coordinates)
                    for (const ring of poly) {
                        const flat = new Float64Array(ring.length * 2);
                        ring.forEach(([x, y], i) => { flat[2 * i] = x; flat[2 * i + 1] = y; });
                        rings.push(flat);
                        for (let i = 0; i + 1 < ring.length; ++i) {
                            const [x1, y1] = ring[i], [x2, y2] = ring[i + 1];
                            if (!onCut(rect, x1, y1, x2, y2)) edges.push(x1, y1, x2, y2);
                        }
                    }
                polys.push({ zone: zoneIndex.get(f.properties.tzid), rings });
            }
            ++cells;
            return { polys };
        }
        const out = {};
        for (const q of 'abcd') if (node[q]) out[q] = walk(node[q], childRect(rect, q));
        return out;
    };
    const tree = walk(src.index.lookup, ROOT);
    return { tree, edges: Float64Array.from(edges), cells };
}

function insideRings(rings, x, y) {
    let inside = false;
    for (const r of rings)
        for (let i = 0, j = r.length - 2; i < r.length; j = i, i += 2) {
            const yi = r[i + 1], yj = r[j + 1];
            if ((yi > y) !== (yj > y) && x < ((r[j] - r[i]) * (y - yi)) / (yj - yi) + r[i]) inside = !inside;
        }
    return inside;
}

// The zone the source gives a point; 0 for the sea.
function sourceZone(tree, lon, lat) {
    lat = Math.max(-89.9999, Math.min(89.9999, lat));
    lon = Math.max(-179.9999, Math.min(179.9999, lon));
    let node = tree, rect = ROOT;
    for (;;) {
        const midLat = (rect.top + rect.bottom) / 2, midLon = (rect.left + rect.right) / 2;
        const q = lat >= midLat ? (lon >= midLon ? 'a' : 'b') : lon < midLon ? 'c' : 'd';
        node = node[q];
        rect = childRect(rect, q);
        if (!node) return 0;
        if (node.zone !== undefined) return node.zone;
        if (node.polys) {
            for (const p of node.polys) if (insideRings(p.rings, lon, lat)) return p.zone;
            return 0;
        }
    }
}

// ---- our quadtree ---------------------------------------------------------

// Whether segment e crosses the closed box.
function crosses(E, e, x0, y0, x1, y1) {
    const ax = E[4 * e], ay = E[4 * e + 1], bx = E[4 * e + 2], by = E[4 * e + 3];
    if (Math.max(ax, bx) < x0 || Math.min(ax, bx) > x1 || Math.max(ay, by) < y0 || Math.min(ay, by) > y1) return false;
    const side = (x, y) => Math.sign((bx - ax) * (y - ay) - (by - ay) * (x - ax));
    const s = side(x0, y0) + side(x1, y0) + side(x0, y1) + side(x1, y1);
    return Math.abs(s) !== 4;
}

// A leaf is a zone number; an inner node an array of four children, in the
// order south-west, south-east, north-west, north-east.
function build(source, ix, iy, depth, list) {
    const w = 360 / 2 ** depth, h = 180 / 2 ** depth;
    const x0 = -180 + ix * w, y0 = -90 + iy * h;
    if (list.length === 0 || depth === DEPTH) return sourceZone(source.tree, x0 + w / 2, y0 + h / 2);
    const E = source.edges;
    const children = [];
    for (let q = 0; q < 4; ++q) {
        const cx = 2 * ix + (q & 1), cy = 2 * iy + (q >> 1);
        const cw = w / 2, ch = h / 2;
        const bx0 = -180 + cx * cw, by0 = -90 + cy * ch;
        const sub = [];
        for (const e of list) if (crosses(E, e, bx0, by0, bx0 + cw, by0 + ch)) sub.push(e);
        children.push(build(source, cx, cy, depth + 1, sub));
    }
    return merge(children, depth);
}

function merge(children, depth) {
    if (!children.every((c) => typeof c === 'number')) return children;
    const zones = new Set(children.filter((c) => c !== 0));
    if (zones.size === 0) return 0;
    if (zones.size === 1 && (depth >= COAST_DEPTH || children.every((c) => c === children[0])))
        return [...zones][0];
    return children;
}

// ---- the file -------------------------------------------------------------

// The inner nodes in pre-order. Each is one byte of four two-bit codes, child
// 0 in the low bits: 0 an inner node, 1 and 2 a leaf of the zone last and
// second last named (a boundary mostly alternates between the same two), 3 a
// leaf whose zone follows as 16 bits. The explicit zones follow the code
// byte, then the inner children, each whole, in child order. "Last named"
// runs through a node's own leaves before its inner children.
function serialise(root, names) {
    const out = [];
    const recent = [0, 0];
    let inner = 0;
    const put = (node) => {
        ++inner;
        let codes = 0;
        const explicit = [];
        node.forEach((child, q) => {
            if (typeof child !== 'number') return;
            const code = child === recent[0] ? 1 : child === recent[1] ? 2 : 3;
            if (code === 3) explicit.push(child);
            if (code !== 1) { recent[1] = recent[0]; recent[0] = child; }
            codes |= code << (2 * q);
        });
        out.push(codes);
        for (const z of explicit) out.push(z & 0xff, z >> 8);
        for (const child of node) if (typeof child !== 'number') put(child);
    };
    put(root);
    const stream = Buffer.from(out);
    const nameBytes = Buffer.from(names.map((n) => n + '\0').join(''), 'ascii');
    const header = Buffer.alloc(28);
    header.write('GVTZONES', 0, 'ascii');
    header.writeUInt16LE(1, 8);
    header.writeUInt8(DEPTH, 10);
    header.writeUInt8(COAST_DEPTH, 11);
    header.writeUInt32LE(names.length + 1, 12);
    header.writeUInt32LE(nameBytes.length, 16);
    header.writeUInt32LE(inner, 20);
    header.writeUInt32LE(stream.length, 24);
    return { bytes: Buffer.concat([header, nameBytes, stream]), nodes: inner };
}

const source = fetchSource();
const names = [...source.index.timezones].sort();
const zoneIndex = new Map(names.map((n, i) => [n, i + 1]));
const loaded = loadSource(source, zoneIndex);
console.log(`${names.length} zones, ${loaded.cells} cells with boundaries, ${loaded.edges.length / 4} boundary segments`);
const all = Array.from({ length: loaded.edges.length / 4 }, (_, i) => i);
const root = build(loaded, 0, 0, 0, all);
const { bytes, nodes } = serialise(root, names);
fs.writeFileSync(outFile, bytes);
if (ownWork) fs.rmSync(workDir, { recursive: true, force: true });
console.log(`${outFile}: ${nodes} nodes, ${bytes.length} bytes`);
