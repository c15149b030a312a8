#!/usr/bin/python3
"""Builds the reduced "symbols" face from Entypo.

The widgets name their symbols by private code points from U+E800 up; each one is mapped onto
the Entypo glyph that shows it, and every other glyph is dropped. Usage:
    make_symbols.py <entypo.ttf> <symbols.ttf>
"""
import sys

from fontTools import subset
from fontTools.ttLib import TTFont
from fontTools.ttLib.tables._c_m_a_p import cmap_format_4

# Our code point -> the Entypo code point of the glyph it shows.
SYMBOLS = {
    0xE800: 0x2715,  # close: a cross
    0xE801: 0x2139,  # about: information
    0xE802: 0xE75F,  # roll up: chevron up
    0xE805: 0xE75C,  # unroll: chevron down
    0xE80F: 0xE75E,  # menu and drop-box arrow: chevron right
    0xE810: 0xE736,  # clone: two documents
    0xE813: 0x26A0,  # warning: attention sign
    0xE816: 0x2716,  # failure: circled cross
    0xE818: 0x1F505,  # enable toggle, disabled: dim light
    0xE819: 0x1F506,  # enable toggle, enabled: bright light
    0xE81B: 0x2713,  # check mark
    0xE81D: 0x2630,  # menu: three bars
}


def main(source, target):
    font = TTFont(source)
    available = font.getBestCmap()
    missing = [hex(cp) for cp in SYMBOLS.values() if cp not in available]
    if missing:
        sys.exit("entypo lacks " + ", ".join(missing))
    glyphs = {ours: available[theirs] for ours, theirs in SYMBOLS.items()}

    options = subset.Options()
    options.notdef_outline = True
    options.name_IDs = ["*"]
    options.layout_features = []
    options.drop_tables = options.drop_tables + ["FFTM"]
    subsetter = subset.Subsetter(options)
    subsetter.populate(glyphs=sorted(set(glyphs.values())))
    subsetter.subset(font)

    tables = []
    for platform, encoding in ((0, 3), (3, 1)):
        table = cmap_format_4(4)
        table.platformID, table.platEncID, table.language = platform, encoding, 0
        table.cmap = dict(glyphs)
        tables.append(table)
    font["cmap"].tables = tables
    font.save(target)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
