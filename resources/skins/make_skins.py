#!/usr/bin/env python3
"""Writes the program's skin and language pictures as SVG files beside this script.

Run it again after changing a colour or a text; the SVG files are kept in the tree so a build
needs nothing but Qt to use them.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
FONT = "DejaVu Sans"

# Advance widths of DejaVu Sans Bold in em, enough to squeeze a caption into its box.
WIDTHS = {" ": .35, ":": .40, ".": .38, "i": .34, "j": .34, "l": .34, "f": .44, "t": .48,
          "r": .49, "s": .60, "š": .60, "z": .58, "c": .59, "č": .59, "ć": .59, "m": 1.04,
          "w": .92, "v": .65, "k": .66, "y": .65, "a": .68, "e": .68, "o": .69}


def text_width(text, size):
    w = 0.0
    for ch in text:
        if ch in WIDTHS:
            w += WIDTHS[ch]
        elif ch.isupper():
            w += .78
        else:
            w += .71
    return w * size


def write(name, body, w, h):
    with open(os.path.join(HERE, name + ".svg"), "w", encoding="utf-8") as f:
        f.write(f'<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
                f'width="{w}" height="{h}" viewBox="0 0 {w} {h}">\n{body}</svg>\n')


def caption(name, text, w, h, size, colour, shadow=None, anchor="start"):
    """A line of bold text on a transparent ground, narrowed when it would not fit."""
    room = w - 2
    scale = min(1.0, room / text_width(text, size))
    x = 1 if anchor == "start" else w / 2 / scale
    y = (h + size * 0.72) / 2
    parts = []
    if shadow:
        parts.append(f'<text x="{x + 1:.2f}" y="{y + 1:.2f}" fill="{shadow}" fill-opacity="0.55" '
                     f'font-family="{FONT}" font-weight="bold" font-size="{size}" '
                     f'text-anchor="{anchor}">{text}</text>')
    parts.append(f'<text x="{x:.2f}" y="{y:.2f}" fill="{colour}" font-family="{FONT}" '
                 f'font-weight="bold" font-size="{size}" text-anchor="{anchor}">{text}</text>')
    write(name, f'<g transform="scale({scale:.4f},1)">\n' + "\n".join(parts) + "\n</g>\n", w, h)


HANDSET = ("M -9 -3 C -9 -8 -5 -10 0 -10 C 5 -10 9 -8 9 -3 L 9 -1 C 9 0 8 1 7 1 L 4 1 "
           "C 3 1 2 0 2 -1 L 2 -3 C 1 -4 -1 -4 -2 -3 L -2 -1 C -2 0 -3 1 -4 1 L -7 1 "
           "C -8 1 -9 0 -9 -1 Z")


def incoming_call_skin():
    outline = ("M 24 60 L 108 60 A 46 46 0 0 0 118 48 L 160 48 Q 170 48 170 38 L 170 20 "
               "Q 170 0 190 0 L 342 0 Q 366 0 366 24 L 366 296 Q 366 320 342 320 "
               "L 24 320 Q 0 320 0 296 L 0 84 Q 0 60 24 60 Z")
    fields = "".join(
        f'<rect x="100" y="{y - 3}" width="208" height="22" rx="5" fill="url(#field)" '
        f'stroke="#9db4cc" stroke-width="1"/>\n' for y in (152, 192, 232, 277))
    rows = "".join(f'<line x1="14" y1="{y}" x2="314" y2="{y}" stroke="#c3d2e2" stroke-width="1"/>\n'
                   for y in (176, 216, 256))
    body = f"""<defs>
<linearGradient id="body" x1="0" y1="0" x2="0" y2="1">
<stop offset="0" stop-color="#4b82bd"/><stop offset="0.45" stop-color="#2f5f95"/>
<stop offset="1" stop-color="#1c3c63"/></linearGradient>
<linearGradient id="gloss" x1="0" y1="0" x2="0" y2="1">
<stop offset="0" stop-color="#ffffff" stop-opacity="0.35"/>
<stop offset="1" stop-color="#ffffff" stop-opacity="0"/></linearGradient>
<linearGradient id="panel" x1="0" y1="0" x2="0" y2="1">
<stop offset="0" stop-color="#f6f9fc"/><stop offset="1" stop-color="#d9e4f0"/></linearGradient>
<linearGradient id="field" x1="0" y1="0" x2="0" y2="1">
<stop offset="0" stop-color="#e3ebf4"/><stop offset="0.3" stop-color="#ffffff"/>
<stop offset="1" stop-color="#ffffff"/></linearGradient>
<radialGradient id="badge" cx="0.4" cy="0.35" r="0.7">
<stop offset="0" stop-color="#9be38a"/><stop offset="0.6" stop-color="#3fa73a"/>
<stop offset="1" stop-color="#23701f"/></radialGradient>
<linearGradient id="frame" x1="0" y1="0" x2="0" y2="1">
<stop offset="0" stop-color="#0d1d30"/><stop offset="1" stop-color="#1a3250"/></linearGradient>
</defs>
<path d="{outline}" fill="url(#body)" stroke="#132b47" stroke-width="2"/>
<circle cx="62" cy="50" r="46" fill="url(#body)" stroke="#132b47" stroke-width="2"/>
<path d="M 22 62 L 108 62 L 112 58 L 160 50 L 168 42 L 168 22 Q 168 2 190 2 L 342 2 Q 364 2 364 24 L 364 60 L 2 90 L 2 84 Q 2 62 22 62 Z" fill="url(#gloss)"/>
<circle cx="62" cy="50" r="36" fill="url(#badge)" stroke="#e9f7e6" stroke-width="3"/>
<ellipse cx="56" cy="36" rx="22" ry="12" fill="#ffffff" fill-opacity="0.25"/>
<g transform="translate(62,54) rotate(-35) scale(2.1)"><path d="{HANDSET}" fill="#ffffff"/></g>
<path d="M 84 28 a 14 14 0 0 1 8 14 M 90 20 a 22 22 0 0 1 12 22" fill="none" stroke="#ffffff" stroke-width="3" stroke-linecap="round"/>
<rect x="176" y="6" width="168" height="128" rx="9" fill="url(#frame)" stroke="#9cc0e6" stroke-width="1.5"/>
<rect x="6" y="140" width="316" height="174" rx="10" fill="url(#panel)" stroke="#0f2540" stroke-width="1.5"/>
{rows}{fields}<rect x="327" y="142" width="36" height="172" rx="10" fill="#16314f" fill-opacity="0.55"/>
<circle cx="345" cy="168" r="4" fill="#7fb2e5"/><circle cx="345" cy="184" r="4" fill="#5c8fc4"/>
<circle cx="345" cy="200" r="4" fill="#3f6f9f"/>
"""
    write("IncomingCallSkin", body, 366, 320)


def new_call_message_skin():
    body = """<defs>
<linearGradient id="tab" x1="0" y1="0" x2="0" y2="1">
<stop offset="0" stop-color="#4b82bd"/><stop offset="1" stop-color="#24497a"/></linearGradient>
<linearGradient id="panel" x1="0" y1="0" x2="0" y2="1">
<stop offset="0" stop-color="#f7fafd"/><stop offset="1" stop-color="#d6e2ef"/></linearGradient>
</defs>
<rect x="1" y="12" width="178" height="127" rx="13" fill="url(#panel)" stroke="#1c3c63" stroke-width="2"/>
<rect x="20" y="1" width="126" height="25" rx="9" fill="url(#tab)" stroke="#1c3c63" stroke-width="2"/>
<rect x="22" y="3" width="122" height="10" rx="6" fill="#ffffff" fill-opacity="0.25"/>
<line x1="14" y1="53" x2="166" y2="53" stroke="#9db4cc" stroke-width="1"/>
<rect x="18" y="62" width="144" height="58" rx="6" fill="#ffffff" stroke="#9db4cc" stroke-width="1"/>
<circle cx="168" cy="128" r="3" fill="#9db4cc"/><circle cx="160" cy="128" r="3" fill="#c3d2e2"/>
"""
    write("NewCallMessageSkin", body, 180, 140)


def round_button(name, w, h, colours, glyph, hot=False, down=False, disabled=False):
    top, bottom, ring = colours
    if disabled:
        top, bottom, ring = "#b9c0c8", "#8a939c", "#6d757d"
    if hot:
        top = "#ffffff"
    r = min(w, h) / 2 - 1.5
    cx, cy = w / 2, h / 2 + (1 if down else 0)
    shade = '<stop offset="1" stop-color="%s"/>' % bottom
    body = f"""<defs><radialGradient id="g" cx="0.38" cy="0.3" r="0.8">
<stop offset="0" stop-color="{top}"/>{shade}</radialGradient></defs>
<circle cx="{cx}" cy="{cy}" r="{r}" fill="url(#g)" stroke="{ring}" stroke-width="1.5"/>
{'' if down else f'<ellipse cx="{cx}" cy="{cy - r / 2}" rx="{r * 0.6:.1f}" ry="{r * 0.3:.1f}" fill="#ffffff" fill-opacity="0.35"/>'}
<g transform="translate({cx},{cy})">{glyph}</g>
"""
    write(name, body, w, h)


def buttons():
    reject = f'<g transform="translate(0,3) rotate(0) scale(1.05)"><path d="{HANDSET}" fill="#ffffff"/></g>'
    close = ('<path d="M -5.5 -5.5 L 5.5 5.5 M 5.5 -5.5 L -5.5 5.5" stroke="#ffffff" '
             'stroke-width="3.2" stroke-linecap="round"/>')
    for suffix, kw in (("", {}), ("Hot", {"hot": True}), ("Down", {"down": True}),
                       ("Disabled", {"disabled": True})):
        round_button("btnReject" + suffix, 32, 34, ("#ff8a80", "#b71c1c", "#6d0f0f"), reject, **kw)
        round_button("btnClose" + suffix, 32, 32, ("#a9c7e8", "#2f5f95", "#132b47"), close, **kw)


def no_picture(prefix, text):
    body = f"""<defs><linearGradient id="bg" x1="0" y1="0" x2="0" y2="1">
<stop offset="0" stop-color="#27476d"/><stop offset="1" stop-color="#0e2038"/></linearGradient></defs>
<rect width="160" height="120" fill="url(#bg)"/>
<circle cx="80" cy="42" r="19" fill="#6f8fb3"/>
<path d="M 42 98 Q 42 66 80 66 Q 118 66 118 98 Z" fill="#6f8fb3"/>
<text x="80" y="114" fill="#dce8f5" font-family="{FONT}" font-weight="bold" font-size="11" text-anchor="middle">{text}</text>
"""
    write(prefix + "NoPicture", body, 160, 120)


LANGUAGE = {
    "cro": {"IncomingCall": "Dolazni poziv", "CallerInfo": "Podaci o pozivatelju",
            "CallerName": "Ime:", "CallerPhone": "Broj:", "CalledPhone": "Zvani broj:",
            "CallerNotes": "Napomena:", "CallMessage": "Novi pozivi", "NoPicture": "Nema slike"},
    "eng": {"IncomingCall": "Incoming call", "CallerInfo": "Caller information",
            "CallerName": "Name:", "CallerPhone": "Number:", "CalledPhone": "Called no.:",
            "CallerNotes": "Notes:", "CallMessage": "New calls", "NoPicture": "No picture"},
}


def language_bitmaps():
    for prefix, texts in LANGUAGE.items():
        caption(prefix + "IncomingCall", texts["IncomingCall"], 112, 20, 15, "#ffffff", "#0b1a2b")
        caption(prefix + "CallerInfo", texts["CallerInfo"], 125, 13, 10.5, "#dbe8f5", "#0b1a2b")
        for key in ("CallerName", "CallerPhone", "CalledPhone", "CallerNotes"):
            caption(prefix + key, texts[key], 65, 13, 10.5, "#1d3d63")
        caption(prefix + "CallMessage", texts["CallMessage"], 110, 15, 11.5, "#ffffff", "#0b1a2b",
                anchor="middle")
        no_picture(prefix, texts["NoPicture"])


def resource_list():
    names = sorted(f for f in os.listdir(HERE) if f.endswith(".svg"))
    with open(os.path.join(HERE, "skins.qrc"), "w", encoding="utf-8") as f:
        f.write('<!DOCTYPE RCC><RCC version="1.0">\n<qresource prefix="/skins">\n')
        f.writelines(f"    <file>{n}</file>\n" for n in names)
        f.write("</qresource>\n</RCC>\n")


if __name__ == "__main__":
    incoming_call_skin()
    new_call_message_skin()
    buttons()
    language_bitmaps()
    resource_list()
