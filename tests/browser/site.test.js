// The demo site in headless Chromium: pictures decode at their size, a click on a bar opens the
// page of that bar, and hostile names and parameters stay text. Run by run.sh, which serves the
// site at KELVANE_SITE and keeps the screenshots in KELVANE_SCREENSHOTS.
const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const { chromium } = require('playwright-core');

const site = process.env.KELVANE_SITE;
const shots = process.env.KELVANE_SCREENSHOTS;
let browser;
let page;
const dialogs = [];

before(async () => {
  assert.ok(site && shots, 'KELVANE_SITE and KELVANE_SCREENSHOTS must be set (run.sh sets them)');
  browser = await chromium.launch({ executablePath: process.env.CHROMIUM, args: ['--no-sandbox'] });
  page = await browser.newPage({ viewport: { width: 1400, height: 1000 } });
  page.on('dialog', async (d) => { dialogs.push(d.message()); await d.dismiss(); });
});

after(async () => { await browser?.close(); });

async function open(url) {
  const response = await page.goto(site + url, { waitUntil: 'load' });
  assert.equal(response.status(), 200, `${url} answered ${response.status()}`);
}

// The area of mapName that Chromium gives a click at the centre of the area whose href holds
// index (the first area in the map that contains the point), and the point on the page.
async function clickPoint(mapName, index) {
  const { point, href } = await page.evaluate(([name, idx]) => {
    const areas = [...document.querySelector(`map[name="${name}"]`).areas];
    const target = areas.find((a) => a.getAttribute('href').includes(`Index=${idx}&`));
    const [l, t, r, b] = target.coords.split(',').map(Number);
    const p = { x: (l + r) / 2, y: (t + b) / 2 };
    const hit = areas.find((a) => {
      const [al, at, ar, ab] = a.coords.split(',').map(Number);
      return p.x >= al && p.x < ar && p.y >= at && p.y < ab;
    });
    return { point: p, href: hit.getAttribute('href') };
  }, [mapName, index]);
  const img = page.locator(`img[usemap="#${mapName}"]`);
  await img.scrollIntoViewIfNeeded();
  const box = await img.boundingBox();
  return { x: box.x + point.x, y: box.y + point.y, index: new URL(href, site).searchParams.get('Index') };
}

test('every picture of the gallery decodes at its size, in every format', async (t) => {
  const loaded = [];
  const onResponse = (r) => loaded.push(r);
  page.on('response', onResponse);
  await open('/');
  page.off('response', onResponse);
  const pictures = await page.$$eval('img', (imgs) => imgs.map((i) => ({
    src: i.getAttribute('src'), complete: i.complete, naturalWidth: i.naturalWidth,
    naturalHeight: i.naturalHeight, width: Number(i.getAttribute('width')), height: Number(i.getAttribute('height')),
  })));
  assert.ok(pictures.length >= 15, `only ${pictures.length} pictures on the gallery`);
  for (const p of pictures) {
    assert.ok(p.complete && p.naturalWidth > 0, `${p.src} did not decode`);
    assert.deepEqual([p.naturalWidth, p.naturalHeight], [p.width, p.height], `${p.src} has the wrong size`);
  }
  for (const ext of ['jpg', 'gif', 'png']) {
    assert.ok(pictures.some((p) => p.src.includes(`.${ext}`)), `no ${ext} picture on the gallery`);
  }
  // BMP, uncompressed, is linked rather than shown.
  const bmp = await page.request.get(site + await page.getAttribute('#format-bmp a', 'href'));
  assert.equal(bmp.status(), 200);
  assert.equal(bmp.headers()['content-type'], 'image/bmp');
  const bmpBytes = await bmp.body();
  assert.deepEqual([bmpBytes.readInt32LE(18), Math.abs(bmpBytes.readInt32LE(22))], [400, 300]);
  // Everything the browser loaded for the gallery: page, stylesheet, pictures.
  const sizes = await Promise.all(loaded.map(async (r) => (await r.body()).length));
  const total = sizes.reduce((a, b) => a + b, 0);
  t.diagnostic(`the gallery loaded ${total} bytes in ${loaded.length} responses`);
  assert.ok(total <= 300000, `the gallery loaded ${total} bytes`);
  const maps = await page.$$eval('map', (m) => m.length);
  assert.ok(maps >= 9, `only ${maps} image maps on the gallery`);
  await page.screenshot({ path: path.join(shots, 'gallery.png'), fullPage: true });
});

test('a click on a bar opens the page that names it', async () => {
  // [chart, Index of the bar clicked, category names of the chart's default data]
  const cases = [
    ['bars', '2,1', ['Q1', 'Q2', 'Q3', 'Q4']],
    ['stacked', '3,2', ['Q1', 'Q2', 'Q3', 'Q4']],
    ['rightaxis', '4,1', ['A', 'B', 'C', 'D']],
  ];
  for (const [chart, index, names] of cases) {
    await open('/');
    const click = await clickPoint(`map-${chart}`, index);
    assert.equal(click.index, index, `${chart}: the centre of bar ${index} lies in the area of ${click.index}`);
    await Promise.all([page.waitForURL(/\/detail\?/), page.mouse.click(click.x, click.y)]);
    const [bar] = index.split(',').map(Number);
    assert.equal(await page.textContent('#index'), index, chart);
    assert.equal(await page.textContent('#category'), names[bar - 1], chart);
    assert.equal(await page.textContent('#carried'), names[bar - 1], chart);
    assert.match(await page.textContent('h1'), new RegExp(`^${names[bar - 1]} · `));
    if (chart === 'bars') await page.screenshot({ path: path.join(shots, 'detail.png'), fullPage: true });
  }
});

test('quotes, angle brackets and ampersands in names and parameters stay text', async () => {
  const names = ['"><img src=x onerror=alert(1)>', "a&b&amp;c", '<script>alert(2)</script>', "' onmouseover='alert(3)"];
  const series = ['&quot;"<b>', '</map><svg onload=alert(4)>'];
  const title = '</title><iframe src="javascript:alert(5)">';
  const query = new URLSearchParams({ names: names.join(','), series: series.join(','),
    values: '10,20,30,40;5,15,25,35', title });
  await open(`/page/bars?${query}`);
  const allowedTags = new Set(['HTML', 'HEAD', 'META', 'TITLE', 'LINK', 'BODY', 'HEADER', 'MAIN', 'A', 'H1',
    'FIGURE', 'IMG', 'MAP', 'AREA', 'FIGCAPTION', 'TABLE', 'TBODY', 'TR', 'TH', 'TD', 'SPAN', 'DL', 'DT', 'DD']);
  const allowedAttributes = new Set(['lang', 'charset', 'rel', 'href', 'src', 'width', 'height', 'alt', 'usemap',
    'name', 'target', 'shape', 'coords', 'class', 'id', 'data-kind']);
  const checkDom = async (what) => {
    const found = await page.$$eval('*', (els) => els.map((e) => ({ tag: e.tagName, attrs: e.getAttributeNames() })));
    for (const { tag, attrs } of found) {
      assert.ok(allowedTags.has(tag), `${what}: an injected <${tag}> element`);
      for (const a of attrs) assert.ok(allowedAttributes.has(a), `${what}: an injected ${a} attribute on <${tag}>`);
    }
    assert.equal(await page.locator('img').count(), 1, `${what}: one picture`);
    for (const a of await page.$$eval('a[href], area[href]', (l) => l.map((e) => e.getAttribute('href')))) {
      assert.match(a, /^\//, `${what}: a link leaves the site: ${a}`);
    }
  };
  await checkDom('chart page');
  assert.deepEqual(await page.$$eval('span.name', (s) => s.map((e) => e.textContent)), names);
  assert.deepEqual(await page.$$eval('span.series', (s) => s.map((e) => e.textContent)), series);
  assert.equal(await page.textContent('td.title'), title);
  await page.screenshot({ path: path.join(shots, 'hostile.png'), fullPage: true });

  const click = await clickPoint('map-bars', '3,2');
  assert.equal(click.index, '3,2');
  await Promise.all([page.waitForURL(/\/detail\?/), page.mouse.click(click.x, click.y)]);
  await checkDom('detail page');
  assert.equal(await page.textContent('#category'), names[2]);
  assert.equal(await page.textContent('#carried'), names[2]);
  assert.equal(await page.textContent('#series'), series[1]);
  assert.deepEqual(dialogs, [], 'a script ran');
});
