// Opens the host's SVG pictures in Chromium and checks what it lays out with
// the real font against what the host measured: every text inside the box
// that holds it, every caption inside its background, no two outlined boxes
// overlapping unless one holds the other.
//
// usage: node check_svg_in_chromium.mjs PUPPETEER_DIR PUPPETEER.json FILE.svg...
import { createRequire } from "node:module";
import { readFileSync } from "node:fs";
import { pathToFileURL } from "node:url";

const [puppeteerDir, config, ...files] = process.argv.slice(2);
const puppeteer = createRequire(puppeteerDir + "/")("puppeteer");
const browser = await puppeteer.launch(JSON.parse(readFileSync(config, "utf8")));
const page = await browser.newPage();
let faults = 0;
for (const file of files) {
  await page.goto(pathToFileURL(file).href);
  const found = await page.evaluate(() => {
    const slack = 0.5;
    const faults = [];
    const boxes = [];
    const inside = (b, r) => b.x >= r.x - slack && b.y >= r.y - slack &&
      b.x + b.width <= r.x + r.width + slack && b.y + b.height <= r.y + r.height + slack;
    for (const element of document.querySelectorAll("rect, text")) {
      if (element.tagName === "rect") {
        if (element.getAttribute("stroke") && element.getAttribute("stroke") !== "none")
          boxes.push(element.getBBox());
        continue;
      }
      const text = element.getBBox();
      // Texts measured by the font's line box, not its ink: compare widths.
      const previous = element.previousElementSibling;
      if (previous && previous.tagName === "rect" && previous.getAttribute("stroke") === "none") {
        const r = previous.getBBox();
        if (text.x < r.x - slack || text.x + text.width > r.x + r.width + slack)
          faults.push(`caption "${element.textContent}" is wider than its background`);
        continue;
      }
      const x = Number(element.getAttribute("x")), y = Number(element.getAttribute("y"));
      let holder = null;
      for (const b of boxes)
        if (x >= b.x && x <= b.x + b.width && y >= b.y && y <= b.y + b.height &&
            (!holder || b.width * b.height < holder.width * holder.height)) holder = b;
      if (holder && (text.x < holder.x - slack || text.x + text.width > holder.x + holder.width + slack))
        faults.push(`"${element.textContent}" runs out of its box`);
    }
    return faults;
  });
  for (const fault of found) console.log(`${file}: ${fault}`);
  faults += found.length;
}
await browser.close();
console.log(`${files.length} pictures checked in Chromium, ${faults} faults`);
process.exit(faults ? 1 : 0);
