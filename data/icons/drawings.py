#!/usr/bin/env python3
"""The program's icons and pictures, drawn by hand in one style and written as SVG files.

Run `python3 data/icons/drawings.py` after changing a drawing. Every file is named after the base
name the program uses (without "~", without the extension, lower case): "neu.ico" -> neu.svg,
"Legende_KR7.bmp" -> ../pictures/legende_kr7.svg. Style: flat shapes on a 32 x 32 grid, dark
outline #2b3a4a, fills from one small palette; the grid markers ("..._ico") keep the corner or edge
where the grids place them and leave the rest transparent.
"""
import os

INK = "#2b3a4a"
BLUE, LIGHT, GREEN, RED, YELLOW, GREY, WHITE, SALMON, PAPER = (
    "#3a7bd5", "#e8eef7", "#3aa757", "#d9443a", "#f2c230", "#9aa5b1", "#ffffff", "#f4b6a0", "#fdfdf8")
DARKBLUE = "#1f3a93"

def svg(body, w=32, h=32):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">'
            f'<g stroke-linejoin="round" stroke-linecap="round">{body}</g></svg>\n')

def rect(x, y, w, h, fill, stroke=INK, sw=1.5, r=1.5):
    return f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="{r}" fill="{fill}" stroke="{stroke}" stroke-width="{sw}"/>'

def line(x1, y1, x2, y2, stroke=INK, sw=1.5, dash=None):
    d = f' stroke-dasharray="{dash}"' if dash else ""
    return f'<line x1="{x1}" y1="{y1}" x2="{x2}" y2="{y2}" stroke="{stroke}" stroke-width="{sw}"{d}/>'

def poly(points, fill, stroke=INK, sw=1.5):
    return f'<polygon points="{points}" fill="{fill}" stroke="{stroke}" stroke-width="{sw}"/>'

def path(d, fill="none", stroke=INK, sw=1.5):
    return f'<path d="{d}" fill="{fill}" stroke="{stroke}" stroke-width="{sw}"/>'

def circle(cx, cy, r, fill, stroke=INK, sw=1.5):
    return f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="{fill}" stroke="{stroke}" stroke-width="{sw}"/>'

def text(x, y, t, size=10, fill=INK, weight="bold", anchor="middle"):
    return (f'<text x="{x}" y="{y}" font-family="DejaVu Sans, sans-serif" font-size="{size}" '
            f'font-weight="{weight}" fill="{fill}" text-anchor="{anchor}">{t}</text>')

# ---- building blocks ---------------------------------------------------------------------------

def sheet(x=5, y=3, w=22, h=26, fill=PAPER):        # a page with a folded corner
    return (path(f"M{x} {y}h{w-7}l7 7v{h-7}h-{w}z", fill) + path(f"M{x+w-7} {y}v7h7", LIGHT))

def table(x=4, y=6, w=24, h=20, head=BLUE):          # a small spreadsheet
    s = rect(x, y, w, h, WHITE, r=1)
    s += f'<rect x="{x}" y="{y}" width="{w}" height="5" fill="{head}"/>'
    s += rect(x, y, w, h, "none", r=1)
    for i in range(1, 3):
        s += line(x + w * i / 3, y + 5, x + w * i / 3, y + h, GREY, 1)
    for j in range(1, 3):
        s += line(x, y + 5 + (h - 5) * j / 3, x + w, y + 5 + (h - 5) * j / 3, GREY, 1)
    return s

def calendar(x=4, y=5, w=24, h=23):
    s = rect(x, y, w, h, WHITE, r=2) + f'<rect x="{x}" y="{y}" width="{w}" height="6" rx="2" fill="{RED}"/>'
    s += rect(x, y, w, h, "none", r=2)
    for cx in (x + 6, x + w - 6):
        s += line(cx, y - 2, cx, y + 3, INK, 2)
    for j in range(3):
        for i in range(4):
            s += f'<rect x="{x + 3 + i * 5}" y="{y + 9 + j * 4.5}" width="3" height="3" fill="{GREY}"/>'
    return s

def person(cx, top, color, scale=1.0):
    r = 3 * scale
    return (circle(cx, top + r, r, color, INK, 1) +
            path(f"M{cx - 4.5 * scale} {top + 2 * r + 9 * scale}v-{4 * scale}a{4.5 * scale} {4.5 * scale} 0 0 1 {9 * scale} 0v{4 * scale}z", color, INK, 1))

def plus_badge(x=22, y=22, color=GREEN):
    return circle(x, y, 6, color, INK, 1) + line(x - 3, y, x + 3, y, WHITE, 2) + line(x, y - 3, x, y + 3, WHITE, 2)

def cross_badge(x=22, y=22, color=RED):
    return circle(x, y, 6, color, INK, 1) + line(x - 2.5, y - 2.5, x + 2.5, y + 2.5, WHITE, 2) + line(x + 2.5, y - 2.5, x - 2.5, y + 2.5, WHITE, 2)

def gear(cx, cy, r, fill=GREY):
    s = ""
    for i in range(8):
        s += f'<rect x="{cx - 1.6}" y="{cy - r - 2.5}" width="3.2" height="5" fill="{fill}" stroke="{INK}" stroke-width="1" transform="rotate({i * 45} {cx} {cy})"/>'
    return s + circle(cx, cy, r, fill) + circle(cx, cy, r / 2.5, WHITE, INK, 1)

def arrow_curve(direction):                           # undo (left) or redo (right)
    if direction < 0:
        return path("M9 13h12a6 6 0 0 1 0 12h-8", "none", BLUE, 3) + poly("3,13 10,7 10,19", BLUE, BLUE, 1)
    return path("M23 13h-12a6 6 0 0 0 0 12h8", "none", BLUE, 3) + poly("29,13 22,7 22,19", BLUE, BLUE, 1)

def check(color=GREEN, x=0, y=0, sw=3):
    return path(f"M{x + 8} {y + 16}l5 5l11 -12", "none", color, sw)

def box(fill=WHITE):
    return rect(6, 6, 20, 20, fill, r=2)

def stars_moon():
    return (path("M19 4a9 9 0 1 0 9 12a7 7 0 1 1 -9 -12z", YELLOW, INK, 1) +
            poly("9,6 10,9 13,9 10.5,11 11.5,14 9,12 6.5,14 7.5,11 5,9 8,9", YELLOW, INK, 0.8))

def scale_balance():                                   # strain: a weight on a scale
    return (line(16, 5, 16, 26, INK, 2) + line(6, 9, 26, 9, INK, 2) + line(9, 27, 23, 27, INK, 2.5) +
            path("M6 9l-4 9h8z", LIGHT, INK, 1) + path("M26 9l-4 9h8z", LIGHT, INK, 1) +
            rect(3, 13, 6, 5, RED, INK, 1, 0.5))

def coins():
    s = ""
    for i, y in enumerate((22, 18, 14)):
        s += f'<ellipse cx="13" cy="{y}" rx="9" ry="3.5" fill="{YELLOW}" stroke="{INK}" stroke-width="1.2"/>'
    return s + text(23, 14, "€", 12, GREEN)

def magnifier(x=18, y=18, color=BLUE):
    return circle(x - 4, y - 4, 6, WHITE, color, 2.5) + line(x, y, x + 7, y + 7, INK, 3.5)

def window_frame(fill=LIGHT):
    return rect(3, 5, 26, 22, WHITE, r=2) + f'<rect x="3" y="5" width="26" height="6" rx="2" fill="{BLUE}"/>' + rect(3, 5, 26, 22, "none", r=2)

# ---- the icons (32 x 32) -----------------------------------------------------------------------

ICONS = {
    # files and projects
    "varn4": table(3, 4, 26, 24) + circle(23, 22, 7, YELLOW, INK, 1.2) + line(23, 22, 23, 18, INK, 1.5) + line(23, 22, 26, 23, INK, 1.5),
    "neu": sheet() + plus_badge(),
    "new": sheet() + plus_badge(),
    "projekt": path("M3 9h10l3 3h13v15h-26z", YELLOW) + table(9, 14, 15, 11),
    "oeffnen": path("M3 7h9l3 3h11v5", "none", INK, 1.5) + path("M3 7v20h22l5 -12h-22l-5 12", YELLOW) +
               path("M20 3c4 0 7 2 7 6", "none", BLUE, 2) + poly("29,8 27,12 24,8", BLUE, BLUE, 1),
    "speichern": rect(4, 4, 24, 24, BLUE, r=2) + rect(9, 4, 14, 9, WHITE, INK, 1.2, 0.5) + rect(18, 6, 3, 5, INK, INK, 0, 0.5) +
                 rect(8, 17, 16, 11, LIGHT, INK, 1.2, 0.5) + line(11, 21, 21, 21, GREY, 1) + line(11, 24, 21, 24, GREY, 1),
    "tabelle": table(),
    "mini_tabelle": table(),
    "mini_tabelle_neu": table(2, 4, 22, 18) + plus_badge(23, 23),
    "mini_tabelle_delete": table(2, 4, 22, 18) + cross_badge(23, 23),
    "mini_tabelle_copy": table(8, 10, 20, 17, GREY) + table(3, 4, 20, 17),
    "mini_tabelle_group": table(2, 4, 22, 18) + person(24, 17, GREEN, 0.8),
    "kalender": calendar(),
    "mini_kalender": calendar(),
    "bezugsrahmen": calendar(3, 6, 20, 20) + path("M22 14h7m-3 -3l3 3l-3 3", "none", BLUE, 2) + text(12, 22, "8", 8, INK),
    "schichtgruppen": person(10, 6, BLUE) + person(22, 6, GREEN) + person(16, 12, YELLOW),
    "mini_schichten": circle(16, 16, 12, WHITE) + path("M16 16v-8M16 16l6 4", "none", INK, 2) + path("M16 4a12 12 0 0 1 12 12h-12z", SALMON, INK, 1),
    "delete": line(8, 8, 24, 24, RED, 4.5) + line(24, 8, 8, 24, RED, 4.5),
    "delete2": box(LIGHT) + line(11, 11, 21, 21, RED, 3.5) + line(21, 11, 11, 21, RED, 3.5),
    "insert": rect(4, 8, 24, 16, WHITE) + line(4, 16, 28, 16, GREY, 1) + plus_badge(22, 22),
    "edit": sheet() + path("M12 24l1 -5l11 -11l4 4l-11 11z", YELLOW, INK, 1.2),
    "undo": arrow_curve(-1),
    # The worksheet window's printing and clipboard buttons.
    "drucken": rect(8, 4, 16, 9, PAPER) + rect(3, 12, 26, 11, GREY) + rect(8, 19, 16, 10, PAPER)
               + line(11, 23, 21, 23) + line(11, 26, 19, 26) + circle(25, 16, 1.2, GREEN, sw=0.8),
    "ausschneiden": circle(9, 24, 4, WHITE) + circle(23, 24, 4, WHITE) + line(11, 21, 22, 4, sw=2)
                    + line(21, 21, 10, 4, sw=2),
    "kopieren": sheet(4, 3, 16, 20) + sheet(12, 9, 16, 20),
    "einfuegen": rect(6, 6, 20, 23, SALMON) + rect(11, 3, 10, 6, GREY) + sheet(12, 12, 14, 17),
    "redo": arrow_curve(1),
    "swap": path("M5 11h18", "none", BLUE, 3) + poly("28,11 21,5 21,17", BLUE, BLUE, 1) + path("M27 22h-18", "none", GREEN, 3) + poly("4,22 11,16 11,28", GREEN, GREEN, 1),
    "select": path("M9 4v20l5 -4l4 8l3 -1.5l-4 -8h7z", WHITE, INK, 1.5),
    "generieren": path("M6 27l14 -14", "none", INK, 3) + poly("20,4 22,10 28,12 22,14 20,20 18,14 12,12 18,10", YELLOW, INK, 1),
    "calculator": rect(7, 3, 18, 26, GREY) + rect(10, 6, 12, 6, "#c9e4c5", INK, 1, 0.5) + "".join(
        f'<rect x="{10 + i * 4.5}" y="{15 + j * 4.5}" width="3" height="3" fill="{WHITE}" stroke="{INK}" stroke-width="0.8"/>' for i in range(3) for j in range(3)),
    "message": rect(3, 8, 26, 17, WHITE) + path("M3 9l13 9l13 -9", "none", INK, 1.5),
    "inet": circle(16, 16, 12, LIGHT, BLUE, 2) + path("M4 16h24M16 4c-6 6 -6 18 0 24M16 4c6 6 6 18 0 24", "none", BLUE, 1.5),
    "info": circle(16, 16, 13, BLUE) + circle(16, 9, 2, WHITE, WHITE, 0) + rect(14, 13, 4, 11, WHITE, WHITE, 0, 1),
    "mini_info": circle(16, 16, 13, BLUE) + circle(16, 9, 2, WHITE, WHITE, 0) + rect(14, 13, 4, 11, WHITE, WHITE, 0, 1),
    "information": circle(16, 16, 13, BLUE) + circle(16, 9, 2, WHITE, WHITE, 0) + rect(14, 13, 4, 11, WHITE, WHITE, 0, 1),
    "help": circle(16, 16, 13, GREEN) + path("M11.5 12a4.5 4.5 0 1 1 6 4.2c-1.2.6 -1.5 1.3 -1.5 2.8", "none", WHITE, 3) + circle(16, 24, 1.8, WHITE, WHITE, 0),
    "exclamation": poly("16,3 30,28 2,28", YELLOW) + rect(14.5, 11, 3, 10, INK, INK, 0, 1) + circle(16, 24.5, 1.8, INK, INK, 0),
    "warning": poly("16,3 30,28 2,28", YELLOW) + rect(14.5, 11, 3, 10, INK, INK, 0, 1) + circle(16, 24.5, 1.8, INK, INK, 0),
    "critical": circle(16, 16, 13, RED) + line(11, 11, 21, 21, WHITE, 3.5) + line(21, 11, 11, 21, WHITE, 3.5),
    "application": window_frame(),
    "folders": path("M3 9h10l3 3h13v15h-26z", YELLOW) + path("M6 13h10l3 3h10", "none", INK, 1),
    "checked": box() + check(),
    "unchecked": box(),
    "checked_partly": box() + rect(11, 11, 10, 10, GREY, GREY, 0, 1),
    "checked_gesetzlich": box() + check(RED),
    "crossed": box() + line(11, 11, 21, 21, RED, 3) + line(21, 11, 11, 21, RED, 3),
    "tick": check(GREEN, 0, 0, 4),
    "mini_notiz": path("M6 4h20v17l-7 7h-13z", "#fff3a8") + path("M26 21h-7v7", "#e8d870", INK, 1.2) + "".join(line(10, 10 + 4 * i, 22, 10 + 4 * i, GREY, 1.2) for i in range(3)),
    "mini_defpool": "".join(f'<ellipse cx="16" cy="{y}" rx="11" ry="4" fill="{c}" stroke="{INK}" stroke-width="1.3"/>' for y, c in ((24, BLUE), (17, GREEN), (10, YELLOW))),
    "mini_settings": gear(16, 16, 8),
    "mini_belastung": scale_balance(),
    "mini_oeko": coins(),
    "mini_bewertung": poly("16,3 20,12 30,12.5 22,19 25,29 16,23.5 7,29 10,19 2,12.5 12,12", YELLOW),
    "bewertungsinsp": poly("13,4 16.5,11 24,11.5 18,16.5 20,24 13,20 6,24 8,16.5 2,11.5 9.5,11", YELLOW) + magnifier(24, 24),
    "oekoinsp": coins() + magnifier(24, 24),
    "tabelleninsp": table(2, 3, 22, 18) + magnifier(24, 24),
    "minimized": rect(3, 6, 26, 20, WHITE, r=2) + line(9, 20, 23, 20, INK, 3),
    "maximized": rect(3, 6, 26, 20, WHITE, r=2) + rect(9, 11, 14, 10, LIGHT, INK, 2, 0.5),
    # grid markers: the grids draw them at a cell's corners or edges (32 x 32, mostly transparent)
    "exclamation_ico": poly("24,9 31,22 17,22", YELLOW, INK, 1) + line(24, 13, 24, 17.5, INK, 1.6) + circle(24, 20, 0.9, INK, INK, 0),
    "kr7_anfang_ico": poly("1,29 8,25.5 8,32", RED, RED, 0.5),
    "kr7_ende_ico": poly("31,29 24,25.5 24,32", RED, RED, 0.5),
    "kr7_anfang_warnung_ico": poly("1,29 8,25.5 8,32", GREEN, GREEN, 0.5),
    "kr7_ende_warnung_ico": poly("31,29 24,25.5 24,32", GREEN, GREEN, 0.5),
    "kr10_anfang_ico": line(1.5, 19, 1.5, 27, RED, 2.5),
    "kr10_ende_ico": line(30.5, 19, 30.5, 27, RED, 2.5),
    "rightarrow_ico": poly("2,10 16,16 2,22", RED, RED, 0.5),
    "leftarrow_ico": poly("30,10 16,16 30,22", RED, RED, 0.5),
    "rightarrowgrn_ico": poly("2,10 16,16 2,22", GREEN, GREEN, 0.5),
    "leftarrowgrn_ico": poly("30,10 16,16 30,22", GREEN, GREEN, 0.5),
    "kr_wrz_ico": circle(16, 16, 14, "none", RED, 2),
    "kr_we_ico": rect(6, 21, 20, 10, SALMON, SALMON, 0, 1) + text(16, 29.5, "WE", 8, INK),
    "kr_ns_ico": '<g transform="translate(6 18) scale(0.42)">' + stars_moon() + '</g>',
    "kr_sz_ico": '<g transform="translate(4 20) scale(0.4)">' + person(8, 2, BLUE) + person(20, 2, RED) + person(32, 2, GREEN) + '</g>',
    "kr_fz_ico": '<g transform="translate(5 19) scale(0.42)">' + person(8, 0, BLUE) + person(22, 0, RED) + person(15, 10, YELLOW, 0.7) + '</g>',
}

# ---- pictures (header pictures, the splash, the wallpaper, the legend) ---------------------------

def legend_line(color, ends):
    s = line(3, 4.5, 37, 4.5, color, 1.5)
    if ends == "arrows":
        s += poly(f"0,4.5 6,1.5 6,7.5", color, color, 0.5) + poly(f"40,4.5 34,1.5 34,7.5", color, color, 0.5)
    else:
        s += line(1, 1, 1, 8, color, 2) + line(39, 1, 39, 8, color, 2)
    return s

def legend_rest(color):
    return (text(20, 9, "9,50", 8, color, "bold") + line(0, 15, 40, 15, GREY, 1) +
            poly("12,11.5 20,15 12,18.5", color, color, 0.5) + poly("28,11.5 20,15 28,18.5", color, color, 0.5))

def legend_cross(color):
    return rect(0.5, 0.5, 39, 29, WHITE, GREY, 1, 0) + line(2, 2, 38, 28, color, 1.5, "3 2") + line(38, 2, 2, 28, color, 1.5, "3 2")

PICTURES = {
    # name: (width, height, body)
    "splash": (360, 120, rect(1, 1, 358, 118, LIGHT, BLUE, 2, 8) +
               '<g transform="translate(18 22) scale(2.4)">' + ICONS["varn4"] + '</g>' +
               text(110, 58, "Varn 4", 34, DARKBLUE, "bold", "start") +
               text(112, 86, "Schichtplanung", 16, INK, "normal", "start")),
    "papfrage": (64, 64, '<g transform="scale(2)">' + sheet() + text(16, 24, "?", 16, BLUE) + '</g>'),
    "glhbrne3": (64, 64, '<g transform="scale(2)">' + circle(16, 13, 9, YELLOW) + rect(12, 21, 8, 6, GREY, INK, 1.2, 1) +
                 line(13, 29, 19, 29, INK, 2) + path("M13 14l3 3l3 -3", "none", INK, 1) + '</g>'),
    "zaubrhut": (64, 64, '<g transform="scale(2)">' + path("M6 26l10 -22l10 22z", DARKBLUE) +
                 '<ellipse cx="16" cy="26.5" rx="14" ry="3" fill="' + DARKBLUE + '" stroke="' + INK + '" stroke-width="1.5"/>' +
                 poly("15,12 16,14.5 18.5,14.5 16.5,16 17.3,18.5 15,17 12.7,18.5 13.5,16 11.5,14.5 14,14.5", YELLOW, YELLOW, 0.5) + '</g>'),
    "wallpaper": (64, 64, '<rect width="64" height="64" fill="#8c99a6"/><path d="M0 32h64M32 0v64" stroke="#97a3af" stroke-width="1"/>'),
    "legende_kr7": (40, 9, legend_line(RED, "arrows")),
    "legende_kr7_grn": (40, 9, legend_line(GREEN, "arrows")),
    "legende_kr10": (40, 9, legend_line(RED, "bars")),
    "legende_krwaz": (40, 30, '<rect y="7" width="40" height="16" fill="' + SALMON + '"/>' + line(0, 7, 40, 7, GREY, 1) +
                      line(0, 23, 40, 23, GREY, 1) + text(20, 19, "42,00", 9, INK, "normal")),
    "legende_krwaz_grenzen": (40, 30, '<rect width="40" height="30" fill="#e4e4e4"/>' +
                              '<ellipse cx="20" cy="15" rx="18" ry="10" fill="none" stroke="' + RED + '" stroke-width="1.5"/>' +
                              text(20, 18.5, "70,00", 9, INK, "normal")),
    "legende_kr2": (40, 20, legend_rest(RED)),
    "legende_kr2_grn": (40, 20, legend_rest(GREEN)),
    "legende_kr18": (40, 10, text(20, 9, "39,50", 9, DARKBLUE, "bold")),
    "legende_kr17": (40, 9, '<rect width="40" height="9" fill="' + SALMON + '"/>' + text(20, 8, "WE", 8, INK)),
    "legende_kr3": (40, 30, legend_cross(RED)),
    "legende_kr3_grn": (40, 30, legend_cross(GREEN)),
    "legende_krns": (40, 10, '<g transform="translate(13 0) scale(0.33)">' + stars_moon() + '</g>'),
    "legende_krsz": (40, 10, '<g transform="translate(6 0) scale(0.36)">' + person(8, 0, BLUE) + person(38, 0, RED) + person(68, 0, GREEN) + '</g>'),
    "legende_krfz": (40, 10, '<g transform="translate(10 0) scale(0.36)">' + person(8, 0, BLUE) + person(24, 0, RED) +
                     person(40, 8, YELLOW, 0.6) + person(52, 8, GREEN, 0.6) + '</g>'),
}
# "Varn4.bmp", the information window's header picture: the program's mark with its name.
PICTURES["varn4"] = (160, 48, '<g transform="translate(4 4) scale(1.25)">' + ICONS["varn4"] + '</g>' +
                            text(50, 32, "Varn 4", 22, DARKBLUE, "bold", "start"))

def main():
    here = os.path.dirname(os.path.abspath(__file__))
    pictures = os.path.join(here, "..", "pictures")
    os.makedirs(pictures, exist_ok=True)
    for name, body in ICONS.items():
        with open(os.path.join(here, name + ".svg"), "w") as f:
            f.write(svg(body))
    for name, (w, h, body) in PICTURES.items():
        # "Varn4.bmp" and "varn4.ico" share a base name: pictures (.bmp, .gif, .wmf) are looked
        # for in ../pictures first, icons in this folder first.
        with open(os.path.join(pictures, name + ".svg"), "w") as f:
            f.write(svg(body, w, h))

if __name__ == "__main__":
    main()
