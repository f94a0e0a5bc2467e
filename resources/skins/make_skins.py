#!/usr/bin/env python3
"""Writes the program's skin and language pictures as SVG files beside this script.

Run it again after changing a colour or a text; the SVG files are kept in the tree so a build
needs nothing but Qt to use them.
"""
import math
import os
import re

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
            "CallerName": "Ime:", "CallerPhone": "Broj:", "CalledPhone": "Pozvani broj:",
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


# ---------------------------------------------------------------------------------------------
# The main window: page titles, list and state images, page and window buttons, toolbar, logo.
# The small pictures share one set of gradients; each file carries only the ones it uses.

def _stops(stops):
    out = []
    for s in stops:
        offset, colour = s[0], s[1]
        opacity = f' stop-opacity="{s[2]}"' if len(s) > 2 else ""
        out.append(f'<stop offset="{offset}" stop-color="{colour}"{opacity}/>')
    return "".join(out)


def _lin(stops, x1=0, y1=0, x2=0, y2=1):
    return (f'<linearGradient id="%s" x1="{x1}" y1="{y1}" x2="{x2}" y2="{y2}">'
            f'{_stops(stops)}</linearGradient>')


def _rad(stops, cx=0.38, cy=0.3, r=0.8):
    return f'<radialGradient id="%s" cx="{cx}" cy="{cy}" r="{r}">{_stops(stops)}</radialGradient>'


GRADIENTS = {
    "blue": _lin([(0, "#a9cdf2"), (0.45, "#4b82bd"), (1, "#1d3d63")]),
    "blueLight": _lin([(0, "#cfe4fa"), (0.45, "#6c9fd8"), (1, "#2a5688")], 0, 0, 1, 1),
    "blueCover": _lin([(0, "#8fbbe9"), (0.5, "#3f78b8"), (1, "#224a7a")], 0, 0, 1, 1),
    "green": _lin([(0, "#b8ef9f"), (0.45, "#4cb543"), (1, "#23701f")]),
    "red": _lin([(0, "#ffa59c"), (0.45, "#e53935"), (1, "#8e1010")]),
    "grey": _lin([(0, "#f4f6f8"), (1, "#b9c0c8")]),
    "skin": _rad([(0, "#fff1de"), (0.6, "#f4c99f"), (1, "#d69a6a")], 0.4, 0.35, 0.75),
    "hair": _lin([(0, "#8a5a30"), (1, "#4a2c12")]),
    "paper": _lin([(0, "#ffffff"), (1, "#dce6f1")]),
    "black": _lin([(0, "#6a7078"), (0.5, "#2a2d32"), (1, "#0c0d0f")], 0, 0, 1, 1),
    "orange": _rad([(0, "#fff2a8"), (0.5, "#ffae1a"), (1, "#e8530c")], 0.45, 0.4, 0.7),
    "pencil": _lin([(0, "#fff3a6"), (0.5, "#f7c21b"), (1, "#c98a00")]),
    "metal": _lin([(0, "#f2f4f6"), (0.5, "#c3c9d0"), (1, "#8d96a0")]),
    "glass": _rad([(0, "#ffffff"), (0.55, "#d9ecff"), (1, "#8db9e6")], 0.35, 0.3, 0.8),
    "handle": _lin([(0, "#6b717a"), (0.5, "#2e3238"), (1, "#17191c")], 0, 0, 1, 0),
    # handsets are lit from the top left
    "hsBlue": _lin([(0, "#bcdcfb"), (0.5, "#4f8ccc"), (1, "#1f4a80")], 0, 0, 1, 1),
    "hsSeen": _lin([(0, "#eef3f8"), (0.55, "#9fb4cb"), (1, "#5d7896")], 0, 0, 1, 1),
    "hsGrey": _lin([(0, "#f4f6f8"), (0.55, "#aab2bb"), (1, "#6d757d")], 0, 0, 1, 1),
    "hsRed": _lin([(0, "#ffc2bc"), (0.45, "#f0302a"), (1, "#a00d0d")], 0, 0, 1, 1),
    "hsDark": _lin([(0, "#b55a55"), (0.5, "#7a1414"), (1, "#420808")], 0, 0, 1, 1),
    "hsWhite": _lin([(0, "#ffffff"), (0.6, "#e6f0fa"), (1, "#b5cde6")], 0, 0, 1, 1),
    "ledRed": _rad([(0, "#ffd6d2"), (0.35, "#ff4a3d"), (1, "#8e1010")], 0.4, 0.35, 0.7),
    "ledGreen": _rad([(0, "#e4ffd6"), (0.35, "#4ed443"), (1, "#1b6417")], 0.4, 0.35, 0.7),
    "shine": _lin([(0, "#ffffff", 0.85), (1, "#ffffff", 0.05)]),
    "logo": _rad([(0, "#a9cdf2"), (0.55, "#4b82bd"), (1, "#1d3d63")], 0.4, 0.3, 0.8),
}


def icon(name, body, w, h):
    """Writes BODY with a <defs> holding exactly the shared gradients it refers to."""
    used = sorted(set(re.findall(r"url\(#(\w+)\)", body)))
    defs = "".join(GRADIENTS[g] % g + "\n" for g in used if g in GRADIENTS)
    write(name, (f"<defs>\n{defs}</defs>\n" if defs else "") + body, w, h)


def place(x, y, s, inner, rotate=0):
    turn = f" rotate({rotate})" if rotate else ""
    return f'<g transform="translate({x:g},{y:g}){turn} scale({s:g})">{inner}</g>'


# Drawings on a 16 x 16 grid, scaled into place by their callers.

def person(shirt="blue", line="#1d3d63", head="skin", head_line="#8f5c33", hair=True):
    parts = [f'<path d="M 2.2 15.4 C 2.2 11 4.4 9.1 8 9.1 C 11.6 9.1 13.8 11 13.8 15.4 Z" '
             f'fill="url(#{shirt})" stroke="{line}" stroke-width="0.9" stroke-linejoin="round"/>',
             f'<circle cx="8" cy="5.1" r="3.5" fill="url(#{head})" stroke="{head_line}" '
             f'stroke-width="0.8"/>']
    if hair:
        parts.append('<path d="M 4.55 5.0 C 4.3 2.4 6 1.3 8 1.3 C 10 1.3 11.7 2.4 11.45 5.0 '
                     'C 10.6 3.9 9.6 3.5 8.8 3.6 C 7.6 3.7 6 4.2 4.55 5.0 Z" fill="url(#hair)"/>')
    return "".join(parts)


def grey_person():
    return person("grey", "#6d7782", "grey", "#6d7782", hair=False)


def group():
    return (place(5.2, 0.2, 0.68, person("green", "#1f5e1b")) +
            place(0, 2.6, 0.8, person()))


HANDSET_32 = ("M9 7c1.5-1 3-.5 3.6.8l1.3 2.7c.5 1 .2 2-.6 2.7l-1.4 1.1c.9 2.2 2.6 4 4.8 5l1.2-1.3"
              "c.7-.8 1.8-1 2.7-.5l2.6 1.4c1.3.7 1.7 2.2.7 3.6l-1.2 1.6c-1 1.3-2.7 1.8-4.2 1.2"
              "C12.9 23.2 8.7 19 6.6 13.3c-.6-1.6-.1-3.3 1.2-4.3z")


def handset(x, y, size, fill, line, width=1.0):
    """The tray icons' handset fitted into the SIZE square at X, Y; WIDTH is in pixels."""
    s = size / 19.5
    return (f'<g transform="translate({x - 5.6 * s:.3f},{y - 6.0 * s:.3f}) scale({s:.4f})">'
            f'<path d="{HANDSET_32}" fill="{fill}" stroke="{line}" stroke-width="{width / s:.3f}" '
            f'stroke-linejoin="round"/></g>')


def book(cover="blueCover", line="#1d3d63", figure=True):
    parts = ['<rect x="3.6" y="1.9" width="10.4" height="13.4" rx="1" fill="#ffffff" '
             'stroke="#7d8792" stroke-width="0.7"/>',
             '<line x1="4.6" y1="14.35" x2="13.2" y2="14.35" stroke="#b9c0c8" stroke-width="0.6"/>',
             f'<rect x="2" y="0.8" width="10.8" height="13.6" rx="1.2" fill="url(#{cover})" '
             f'stroke="{line}" stroke-width="0.9"/>',
             f'<rect x="2.45" y="1.25" width="1.9" height="12.7" fill="{line}" fill-opacity="0.45"/>']
    if figure:
        parts.append('<circle cx="8.4" cy="5.6" r="1.9" fill="#ffffff"/>'
                     '<path d="M 5.3 11.4 C 5.5 9.2 6.7 8.2 8.4 8.2 C 10.1 8.2 11.3 9.2 11.5 11.4 Z" '
                     'fill="#ffffff"/>')
    return "".join(parts)


def black_book():
    return ('<rect x="3.6" y="1.9" width="10.4" height="13.4" rx="1" fill="#ffffff" '
            'stroke="#6d757d" stroke-width="0.7"/>'
            '<rect x="2" y="0.8" width="10.8" height="13.6" rx="1.2" fill="url(#black)" '
            'stroke="#000000" stroke-width="0.9"/>'
            '<rect x="2.45" y="1.25" width="1.9" height="12.7" fill="#ffffff" fill-opacity="0.18"/>'
            '<rect x="2" y="6" width="10.8" height="3.6" fill="url(#red)" stroke="#5e0909" '
            'stroke-width="0.7"/>')


def plus_shape(fill, line):
    return (f'<path d="M -1.6 -4.6 H 1.6 V -1.6 H 4.6 V 1.6 H 1.6 V 4.6 H -1.6 V 1.6 H -4.6 '
            f'V -1.6 H -1.6 Z" fill="url(#{fill})" stroke="{line}" stroke-width="0.9" '
            f'stroke-linejoin="round"/>')


def plus_badge(x, y, s=1.0):
    return place(x, y, s, plus_shape("green", "#1a5517"))


def cross_badge(x, y, s=1.0):
    return place(x, y, s, plus_shape("red", "#6d0a0a"), rotate=45)


def pencil_badge(x, y, s=1.0):
    """A pencil pointing down to the left, its point at X, Y."""
    inner = ('<path d="M 0 0 L 3 -1.7 L 12 -1.7 L 12 1.7 L 3 1.7 Z" fill="url(#pencil)" '
             'stroke="#7a5200" stroke-width="0.7" stroke-linejoin="round"/>'
             '<path d="M 0 0 L 3 -1.7 L 3 1.7 Z" fill="#f3d4a4" stroke="#7a5200" stroke-width="0.6" '
             'stroke-linejoin="round"/>'
             '<path d="M 0 0 L 1.2 -0.7 L 1.2 0.7 Z" fill="#2a2d32"/>'
             '<rect x="10" y="-1.7" width="2.6" height="3.4" rx="0.6" fill="#f29aa8" '
             'stroke="#8a3b47" stroke-width="0.6"/>'
             '<line x1="10" y1="-1.7" x2="10" y2="1.7" stroke="#a8adb3" stroke-width="0.9"/>')
    return place(x, y, s, inner, rotate=-45)


def no_badge(x, y, r):
    return (f'<circle cx="{x}" cy="{y}" r="{r}" fill="#ffffff" stroke="#d01616" '
            f'stroke-width="{r * 0.42:.2f}"/>'
            f'<line x1="{x - r * 0.68:.2f}" y1="{y - r * 0.68:.2f}" x2="{x + r * 0.68:.2f}" '
            f'y2="{y + r * 0.68:.2f}" stroke="#d01616" stroke-width="{r * 0.42:.2f}"/>')


def star(x, y, r, fill="orange", line="#a33700"):
    points = []
    for i in range(10):
        a = math.pi / 2 + i * math.pi / 5
        rr = r if i % 2 == 0 else r * 0.48
        points.append(f"{x + rr * math.cos(a):.2f} {y - rr * math.sin(a):.2f}")
    return (f'<path d="M {" L ".join(points)} Z" fill="url(#{fill})" stroke="{line}" '
            f'stroke-width="0.7" stroke-linejoin="round"/>')


def arrow(fill, line, left=False):
    """A fat arrow 10 long and 8 high with its tail at 0, 0 pointing right (or left)."""
    inner = (f'<path d="M 0 -1.7 H 5 V -4 L 10 0 L 5 4 V 1.7 H 0 Z" fill="url(#{fill})" '
             f'stroke="{line}" stroke-width="0.8" stroke-linejoin="round"/>')
    return f'<g transform="scale(-1,1)">{inner}</g>' if left else inner


def gear(r_out, r_in, r_hole, teeth=8):
    pts = []
    step = 2 * math.pi / teeth
    for i in range(teeth):
        a = i * step
        for da, rr in ((-0.30, r_in), (-0.17, r_out), (0.17, r_out), (0.30, r_in)):
            pts.append(f"{rr * math.cos(a + da * step * 1.3):.2f} {rr * math.sin(a + da * step * 1.3):.2f}")
    ring = (f"M {r_hole} 0 A {r_hole} {r_hole} 0 1 0 {-r_hole} 0 "
            f"A {r_hole} {r_hole} 0 1 0 {r_hole} 0 Z")
    return f'M {" L ".join(pts)} Z {ring}'


def globe(r, colour, width):
    w = width
    return (f'<circle cx="0" cy="0" r="{r}" fill="none" stroke="{colour}" stroke-width="{w}"/>'
            f'<ellipse cx="0" cy="0" rx="{r * 0.45:.2f}" ry="{r}" fill="none" stroke="{colour}" '
            f'stroke-width="{w * 0.8:.2f}"/>'
            f'<line x1="0" y1="{-r}" x2="0" y2="{r}" stroke="{colour}" stroke-width="{w * 0.8:.2f}"/>'
            f'<line x1="{-r}" y1="0" x2="{r}" y2="0" stroke="{colour}" stroke-width="{w * 0.8:.2f}"/>'
            f'<path d="M {-r * 0.86:.2f} {-r * 0.5:.2f} Q 0 {-r * 0.3:.2f} {r * 0.86:.2f} {-r * 0.5:.2f} '
            f'M {-r * 0.86:.2f} {r * 0.5:.2f} Q 0 {r * 0.7:.2f} {r * 0.86:.2f} {r * 0.5:.2f}" '
            f'fill="none" stroke="{colour}" stroke-width="{w * 0.8:.2f}"/>')


def title_bars():
    glyphs = {"AddressbookBar": place(0, 0, 1.5, book("blueLight", "#10243d")),
              "CallsBar": (handset(1, 1, 22, "url(#hsWhite)", "#10243d", 1.1) +
                           '<path d="M 15.5 2.6 A 6.5 6.5 0 0 1 21.4 8.5 M 15.2 5.7 A 3.6 3.6 0 0 1 '
                           '18.3 8.8" fill="none" stroke="#ffffff" stroke-width="1.5" '
                           'stroke-linecap="round"/>')}
    texts = {"cro": {"AddressbookBar": "Adresar", "CallsBar": "Pozivi"},
             "eng": {"AddressbookBar": "Address book", "CallsBar": "Calls"}}
    size, x = 17, 31
    y = (30 + size * 0.72) / 2
    for prefix, names in texts.items():
        for key, text in names.items():
            scale = min(1.0, (258 - x) / text_width(text, size))
            words = f'font-family="{FONT}" font-weight="bold" font-size="{size}"'
            # two shadow layers, a wide faint one under a close dark one, read as one soft shadow
            body = (f'<g transform="translate(1,3)">{glyphs[key]}</g>\n'
                    f'<g transform="translate({x},0) scale({scale:.4f},1)">\n'
                    f'<text x="1.6" y="{y + 1.6:.2f}" fill="#0b1a2b" fill-opacity="0.25" {words}>{text}</text>\n'
                    f'<text x="1" y="{y + 1:.2f}" fill="#0b1a2b" fill-opacity="0.55" {words}>{text}</text>\n'
                    f'<text x="0" y="{y:.2f}" fill="#ffffff" {words}>{text}</text>\n</g>\n')
            icon(prefix + key, body, 260, 30)


def list_images():
    icon("mainImage2", person(), 16, 16)
    icon("mainImage9", group(), 16, 16)
    icon("mainImage22", place(-0.6, 0, 0.95, person()) + no_badge(11.6, 11.6, 3.7), 16, 16)
    icon("mainImage23", black_book(), 16, 16)
    icon("mainImage24", grey_person(), 16, 16)
    icon("mainImage25", handset(0.8, 1.2, 14, "url(#hsSeen)", "#3d5a7a", 0.9), 16, 16)
    icon("mainImage26", handset(0.2, 1.6, 14, "url(#hsBlue)", "#173a66", 0.9) +
         star(11.6, 4.5, 4.4), 16, 16)


def state_images():
    for index, (fill, line) in enumerate((("hsGrey", "#4f565e"), ("hsRed", "#6d0a0a"),
                                          ("hsDark", "#2e0505"))):
        icon(f"imagesCalls{index}", handset(0.8, 1, 14.4, f"url(#{fill})", line, 0.9), 16, 16)
    for index, (fill, line) in enumerate((("ledRed", "#5a0808"), ("ledGreen", "#144d11"))):
        body = (f'<circle cx="8" cy="8" r="6.6" fill="#000000" fill-opacity="0.12"/>'
                f'<circle cx="8" cy="8" r="5.8" fill="url(#{fill})" stroke="{line}" stroke-width="1"/>'
                f'<ellipse cx="7.2" cy="5.6" rx="3" ry="1.8" fill="url(#shine)"/>')
        icon(f"imagesConnect{index}", body, 16, 16)


BUTTON_FACES = {
    # face: (gradient stops, ring colour, shift, gloss opacity)
    "": ([(0, "#b8d5f3"), (0.35, "#5d93cf"), (0.75, "#2f5f95"), (1, "#1d3d63")], "#0b1a2b", 0, 0.75),
    "Hot": ([(0, "#e4f0fc"), (0.35, "#86b3e3"), (0.75, "#4579b3"), (1, "#2a5283")], "#0b1a2b", 0, 0.9),
    "Down": ([(0, "#7ea6d2"), (0.4, "#3a6ca5"), (0.8, "#234a78"), (1, "#132b47")], "#060f1a", 1, 0.35),
}


def glossy_disc(w, h, face, round_shape=True):
    """The ground of a page or window button; returns it and the glyph's shift."""
    stops, ring, shift, gloss = BUTTON_FACES[face]
    defs = ('<defs>' + _rad(stops, 0.42, 0.28, 0.85) % "face" +
            _lin([(0, "#ffffff", gloss), (1, "#ffffff", 0.0)]) % "gloss" +
            _lin([(0, "#ffffff", 0.0), (1, "#bfe0ff", 0.45 if face != "Down" else 0.2)]) % "glow" +
            '</defs>\n')
    cx, cy = w / 2, h / 2 + shift
    if round_shape:
        r = min(w, h) / 2 - 2
        shape = (f'<circle cx="{cx}" cy="{h / 2 + 1}" r="{r + 1}" fill="#000000" fill-opacity="0.22"/>'
                 f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="url(#face)" stroke="{ring}" stroke-width="1.5"/>'
                 f'<ellipse cx="{cx}" cy="{cy + r * 0.55:.2f}" rx="{r * 0.62:.2f}" ry="{r * 0.32:.2f}" '
                 f'fill="url(#glow)"/>'
                 f'<ellipse cx="{cx}" cy="{cy - r * 0.48:.2f}" rx="{r * 0.72:.2f}" ry="{r * 0.42:.2f}" '
                 f'fill="url(#gloss)"/>')
    else:
        shape = (f'<rect x="1" y="{1 + shift}" width="{w - 2}" height="{h - 3}" rx="3.5" fill="url(#face)" '
                 f'stroke="{ring}" stroke-width="1"/>'
                 f'<rect x="2.5" y="{2 + shift}" width="{w - 5}" height="{(h - 3) / 2 - 1:.1f}" rx="2.2" '
                 f'fill="url(#gloss)"/>')
    return defs + shape, shift


def white_glyph(inner):
    """A white glyph over its own soft dark shadow, so it stands off the glossy ground."""
    return (f'<g transform="translate(0.8,1.2)" opacity="0.45">{inner.replace("#ffffff", "#0b1a2b")}</g>'
            f'{inner}')


def page_buttons():
    w = h = 44
    glyphs = {
        "mainBtnAddressbook": (
            '<rect x="-8" y="-10.5" width="16" height="21" rx="2" fill="#ffffff"/>'
            '<rect x="-8" y="-10.5" width="3.5" height="21" rx="1" fill="#ffffff"/>'
            '<path d="M -4.5 -10.5 V 10.5" stroke="#2f5f95" stroke-width="1.2"/>'
            '<circle cx="2" cy="-2.6" r="3.2" fill="#2f5f95"/>'
            '<path d="M -3.4 6.6 C -3.2 2.8 -1 1.4 2 1.4 C 5 1.4 7.2 2.8 7.4 6.6 Z" fill="#2f5f95"/>'
            '<path d="M -10 -7 H -6.5 M -10 -2.3 H -6.5 M -10 2.3 H -6.5 M -10 7 H -6.5" '
            'stroke="#ffffff" stroke-width="1.8" stroke-linecap="round"/>'),
        "mainBtnCalls": f'<g transform="translate(-15.2,-13.6) scale(0.9)"><path d="{HANDSET_32}" '
                        f'fill="#ffffff"/></g>'
                        '<path d="M 3.6 -12.2 A 9 9 0 0 1 12.2 -3.6 M 3.2 -7.6 A 4.8 4.8 0 0 1 7.6 -3.2" '
                        'fill="none" stroke="#ffffff" stroke-width="2" stroke-linecap="round"/>',
        "mainBtnOptions": f'<path d="{gear(12, 9, 4)}" fill="#ffffff" fill-rule="evenodd"/>',
        "mainBtnWeb": globe(11, "#ffffff", 2.2),
    }
    for name, glyph in glyphs.items():
        for face in BUTTON_FACES:
            ground, shift = glossy_disc(w, h, face)
            body = ground + f'\n<g transform="translate({w / 2},{h / 2 + shift})">{white_glyph(glyph)}</g>\n'
            write(name + face, body, w, h)


def window_buttons():
    for face in BUTTON_FACES:
        ground, shift = glossy_disc(18, 18, face, round_shape=False)
        bar = (f'<rect x="5" y="{10.5 + shift}" width="8" height="2.6" rx="0.8" fill="#0b1a2b" '
               f'fill-opacity="0.45" transform="translate(0.5,0.7)"/>'
               f'<rect x="5" y="{10.5 + shift}" width="8" height="2.6" rx="0.8" fill="#ffffff"/>')
        write("mainBtnMinimize" + face, ground + "\n" + bar + "\n", 18, 18)


def toolbar_icons():
    contact = place(-1, 0, 1.3, person())
    people = place(-1, 0, 1.3, group())
    phone = handset(0.5, 1, 19, "url(#hsBlue)", "#173a66", 1.0)
    card = ('<rect x="1.5" y="4.5" width="21" height="16" rx="2" fill="url(#paper)" stroke="#3d5f86" '
            'stroke-width="1"/>'
            '<path d="M 2 7 V 6.5 Q 2 5 3.5 5 H 20.5 Q 22 5 22 6.5 V 7.5 H 2 Z" fill="url(#blue)"/>'
            '<rect x="4" y="9.5" width="6" height="8" fill="#ffffff" stroke="#7d8792" stroke-width="0.7"/>'
            + place(4, 9.7, 0.37, person()) +
            '<path d="M 12 11 H 20 M 12 13.5 H 20 M 12 16 H 18" stroke="#6d7782" stroke-width="1.2" '
            'stroke-linecap="round"/>')
    document = ('<path d="M 3.5 1.5 H 13 L 17.5 6 V 21.5 H 3.5 Z" fill="url(#paper)" stroke="#5b6f86" '
                'stroke-width="1" stroke-linejoin="round"/>'
                '<path d="M 13 1.5 V 6 H 17.5" fill="#dce6f1" stroke="#5b6f86" stroke-width="1" '
                'stroke-linejoin="round"/>'
                '<path d="M 6 9 H 14 M 6 11.5 H 14 M 6 14 H 11" stroke="#9aa6b4" stroke-width="1.1" '
                'stroke-linecap="round"/>')
    disk = ('<path d="M 3.5 2.5 H 18.5 L 21.5 5.5 V 20 Q 21.5 21.5 20 21.5 H 4 Q 2.5 21.5 2.5 20 V 4 '
            'Q 2.5 2.5 4 2.5 Z" fill="url(#blueCover)" stroke="#173a66" stroke-width="1" '
            'stroke-linejoin="round"/>'
            '<rect x="7" y="2.5" width="10" height="6.5" fill="url(#metal)" stroke="#4f565e" '
            'stroke-width="0.8"/>'
            '<rect x="13.2" y="3.6" width="2.2" height="4.3" fill="#2a3f58"/>'
            '<rect x="5.5" y="12.5" width="13" height="9" rx="0.8" fill="url(#paper)" stroke="#5b6f86" '
            'stroke-width="0.8"/>'
            '<path d="M 7.5 15.5 H 16.5 M 7.5 18 H 14" stroke="#9aa6b4" stroke-width="1"/>')
    check = ('<path d="M 2.5 12.5 L 6.5 9 L 10 13 L 18.5 3.5 L 22 7 L 10 20.5 Z" fill="url(#green)" '
             'stroke="#1a5517" stroke-width="1" stroke-linejoin="round"/>')
    icons = {
        "tbNewContact": contact + plus_badge(18.5, 18.5),
        "tbEditContact": contact + pencil_badge(11.5, 22.5),
        "tbDeleteContact": contact + cross_badge(18.5, 18.5),
        "tbShowGroups": people + place(22.5, 18.5, 1, arrow("blue", "#173a66", left=True)),
        "tbManipulateGroups": people + place(12.5, 18.5, 1, arrow("blue", "#173a66")),
        "tbNewGroup": people + plus_badge(18.5, 18.5),
        "tbRenameGroup": people + pencil_badge(11.5, 22.5),
        "tbDeleteGroup": people + cross_badge(18.5, 18.5),
        "tbFindContact": MAGNIFIER,
        "tbImportWAB": place(7, 2.5, 1.2, book()) + place(0.8, 13, 1, arrow("green", "#1a5517")),
        "tbOutlookExchange": (place(3, 7, 1.35, arrow("green", "#1a5517")) +
                              place(21, 17, 1.35, arrow("blue", "#173a66", left=True))),
        "tbDataExport": document + place(12.5, 15.5, 1.05, arrow("green", "#1a5517")),
        "tbShowDetails": card,
        "tbAddToAddressbook": phone + plus_badge(18.5, 18.5),
        "tbDeleteCalls": phone + cross_badge(18.5, 18.5),
        "tbSaveCalls": disk,
        "tbMarkSeen": check,
    }
    for name, body in icons.items():
        icon(name, body, 24, 24)


def main_logo():
    body = ('<circle cx="16" cy="16" r="14.5" fill="url(#logo)" stroke="#132b47" stroke-width="1.5"/>'
            '<ellipse cx="16" cy="9" rx="9.5" ry="5.5" fill="url(#shine)" fill-opacity="0.6"/>'
            f'<path d="{HANDSET_32}" fill="#ffffff" stroke="#1b1b1b" stroke-width="0.8"/>'
            '<path d="M19 6.5a7 7 0 0 1 6.5 6.5M18.6 9.6a4 4 0 0 1 3.8 3.8" fill="none" '
            'stroke="#ffffff" stroke-width="1.6" stroke-linecap="round"/>')
    icon("mainLogo", body, 32, 32)


MAGNIFIER = ('<line x1="15" y1="15" x2="21.5" y2="21.5" stroke="url(#handle)" stroke-width="4" '
             'stroke-linecap="round"/>'
             '<line x1="14.2" y1="14.2" x2="16" y2="16" stroke="url(#metal)" stroke-width="3.4"/>'
             '<circle cx="10" cy="10" r="7" fill="url(#glass)" stroke="url(#metal)" stroke-width="2.4"/>'
             '<circle cx="10" cy="10" r="8.2" fill="none" stroke="#4f565e" stroke-width="0.7"/>'
             '<circle cx="10" cy="10" r="5.8" fill="none" stroke="#4f565e" stroke-width="0.6"/>'
             '<path d="M 6.5 9 A 3.8 3.8 0 0 1 9.5 6" fill="none" stroke="#ffffff" stroke-width="1.4" '
             'stroke-linecap="round"/>')


# The search window's animation: the magnifier circling over an open address book, eight frames.
def search_images():
    for frame in range(8):
        angle = math.radians(frame * 45 - 90)
        x = 9 + 5 * math.cos(angle)
        y = 8 + 5 * math.sin(angle)
        icon(f"imagesSearch{frame}", place(4, 6, 1.5, book()) + place(round(x, 2), round(y, 2), 0.75, MAGNIFIER),
             32, 32)


def main_window_pictures():
    title_bars()
    list_images()
    state_images()
    page_buttons()
    window_buttons()
    toolbar_icons()
    search_images()
    main_logo()


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
    main_window_pictures()
    resource_list()
