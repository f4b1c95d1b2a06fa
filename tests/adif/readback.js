'use strict';
// Reads back every NAME.adi of a folder with adif-parser-ts, an ADIF parser
// that is no part of VarkelChecker, and compares it with NAME.expected.json,
// the records the logbook's rows must give (worked out by the test from the
// rows alone): the header's fields, and every record with every field, as
// many times as expected, in any order.
//
// The parser counts a value's length in characters of the text it is given.
// ADIF counts bytes, so each file is given to it as Latin-1 (one character per
// byte) and each value turned back into UTF-8 afterwards: a length that is not
// the value's byte length shifts what the parser reads, and the file fails.
//   node readback.js FOLDER
const fs = require('fs');
const path = require('path');

let AdifParser;
try {
  ({ AdifParser } = require('adif-parser-ts'));
} catch (e) {
  console.error('adif-parser-ts is missing: run "npm ci" in tests/adif (tools/build.sh test does)');
  process.exit(2);
}

function utf8(latin1) {
  return Buffer.from(latin1, 'latin1').toString('utf8');
}

/// A record as one comparable text: its fields by upper-case name, sorted.
function canonical(record) {
  const entries = Object.entries(record).map(([k, v]) => [k.toUpperCase(), v]);
  entries.sort((a, b) => (a[0] < b[0] ? -1 : a[0] > b[0] ? 1 : 0));
  return JSON.stringify(entries);
}

function check(folder, name) {
  const problems = [];
  const bytes = fs.readFileSync(path.join(folder, name + '.adi'));
  const expected = JSON.parse(fs.readFileSync(path.join(folder, name + '.expected.json'), 'utf8'));
  const parsed = AdifParser.parseAdi(bytes.toString('latin1'));

  const header = parsed.header || {};
  if (!utf8(header.text || '').startsWith('ADIF export of VarkelChecker'))
    problems.push('header text: ' + JSON.stringify(header.text));
  for (const [field, value] of Object.entries(expected.header)) {
    const got = header[field.toLowerCase()];
    if (got === undefined || utf8(got) !== value)
      problems.push(`header ${field}: ${JSON.stringify(got)}, expected ${JSON.stringify(value)}`);
  }
  if (!/^\d{8} \d{6}$/.test(header.created_timestamp || ''))
    problems.push('header CREATED_TIMESTAMP: ' + JSON.stringify(header.created_timestamp));

  const records = (parsed.records || []).map((r) => {
    const out = {};
    for (const [k, v] of Object.entries(r)) out[k] = utf8(v);
    return out;
  });
  if (records.length !== expected.records.length)
    problems.push(`${records.length} records, expected ${expected.records.length}`);
  const count = (list) => {
    const m = new Map();
    for (const r of list) {
      const key = canonical(r);
      m.set(key, (m.get(key) || 0) + 1);
    }
    return m;
  };
  const got = count(records);
  const want = count(expected.records);
  let shown = 0;
  for (const [key, n] of want) {
    if ((got.get(key) || 0) !== n && shown++ < 5)
      problems.push(`expected ${n}x, read ${got.get(key) || 0}x: ${key}`);
  }
  for (const [key, n] of got) {
    if (!want.has(key) && shown++ < 10) problems.push(`read ${n}x, not expected: ${key}`);
  }
  const nonAscii = expected.records.filter((r) => Object.values(r).some((v) => /[^\x00-\x7f]/.test(v))).length;
  return { problems, records: records.length, nonAscii };
}

const folder = process.argv[2];
if (!folder) {
  console.error('usage: node readback.js FOLDER');
  process.exit(2);
}
const names = fs
  .readdirSync(folder)
  .filter((f) => f.endsWith('.expected.json'))
  .map((f) => f.slice(0, -'.expected.json'.length))
  .sort();
let passed = 0;
let failed = 0;
for (const name of names) {
  let result;
  try {
    result = check(folder, name);
  } catch (e) {
    result = { problems: [String(e)], records: 0, nonAscii: 0 };
  }
  if (result.problems.length === 0) {
    passed++;
    console.log(`ok   ${name}: ${result.records} records read back equal to the log (${result.nonAscii} with non-ASCII values)`);
  } else {
    failed++;
    console.log(`FAIL ${name}:`);
    for (const p of result.problems) console.log('     ' + p);
  }
}
if (names.length === 0) {
  console.log('no ADIF files to read in ' + folder);
  failed++;
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
