"""The system information window's pictures: nine row icons and the banner's computer.

Shapes in unit coordinates (0..1 across the icon), evaluated per pixel like make_icons.py's.
"""
from make_icons import PALETTE, rect, circle, write_ico

# The shared palette (indexes 1-13) and colours of these icons after it.
COLOURS = PALETTE + [
    (40, 150, 70), (20, 100, 45), (230, 190, 150), (60, 60, 66), (200, 200, 206), (250, 160, 40),
    (255, 255, 255),
]
(BLACK, WHITE, TAN, BROWN, BLUE, NAVY, RED, DARKRED, PAPER, GREY, DARKGREY, SKY, GOLD,
 GREEN, DARKGREEN, SKIN, CHARCOAL, SILVER, ORANGE, BRIGHT) = range(1, 21)


def framed(x, y, x0, y0, x1, y1, edge, fill, px):
    """A filled rectangle with a one-pixel edge; None outside it."""
    if not rect(x, y, x0, y0, x1, y1):
        return None
    if not rect(x, y, x0 + px, y0 + px, x1 - px, y1 - px):
        return edge
    return fill


def os_window(x, y, px):
    """Operating system: a window whose four panes are four colours."""
    if not rect(x, y, 0.06, 0.10, 0.94, 0.90):
        return None
    if not rect(x, y, 0.06 + px, 0.10 + px, 0.94 - px, 0.90 - px):
        return NAVY
    if y < 0.28:
        return BLUE
    gap = max(px, 0.04)
    left, top = x < 0.5 - gap / 2, y < 0.59 - gap / 2
    if abs(x - 0.5) < gap / 2 or abs(y - 0.59) < gap / 2 or not rect(x, y, 0.14, 0.34, 0.86, 0.84):
        return WHITE
    return (RED if left else GREEN) if top else (BLUE if left else GOLD)


def user(x, y, px):
    """User: head and shoulders."""
    if circle(x, y, 0.5, 0.30, 0.20):
        return DARKGREY if not circle(x, y, 0.5, 0.30, 0.20 - px) else SKIN
    if y >= 0.55 and y <= 0.95 and circle(x, y, 0.5, 0.95, 0.42):
        return NAVY if not circle(x, y, 0.5, 0.95, 0.42 - px) or y > 0.95 - px else BLUE
    return None


def memory(x, y, px):
    """Memory: a module with chips and gold contacts."""
    if rect(x, y, 0.04, 0.30, 0.96, 0.72):
        if not rect(x, y, 0.04 + px, 0.30 + px, 0.96 - px, 0.72 - px):
            return DARKGREEN
        if rect(x, y, 0.04, 0.62, 0.96, 0.72):
            return GOLD if int((x - 0.04) / max(px * 2, 0.06)) % 2 == 0 else DARKGREEN
        for cx in (0.12, 0.40, 0.68):
            if rect(x, y, cx, 0.36, cx + 0.20, 0.56):
                return CHARCOAL
        return GREEN
    return None


def drive(x, y, px):
    """Drive: a disk drive with its light."""
    shape = framed(x, y, 0.06, 0.30, 0.94, 0.74, CHARCOAL, SILVER, px)
    if shape == SILVER:
        if circle(x, y, 0.80, 0.58, max(0.07, px)):
            return GREEN
        if rect(x, y, 0.16, 0.42, 0.62, 0.44 + px):
            return DARKGREY
    return shape


def browser(x, y, px):
    """Internet Explorer version: a globe."""
    r = 0.44
    if not circle(x, y, 0.5, 0.5, r):
        return None
    if not circle(x, y, 0.5, 0.5, r - px):
        return NAVY
    # Meridian and parallels, then land masses on the sea.
    if abs(x - 0.5) < px * 0.6 or abs(y - 0.5) < px * 0.6:
        return SKY
    if abs(((x - 0.5) ** 2) / 0.05 + ((y - 0.5) ** 2) / 0.2 - 1) < 0.12 and px < 0.05:
        return SKY
    if circle(x, y, 0.36, 0.36, 0.14) or circle(x, y, 0.64, 0.68, 0.13):
        return GREEN
    return BLUE


def processor(x, y, px):
    """Processor: a chip with pins on every side."""
    if rect(x, y, 0.22, 0.22, 0.78, 0.78):
        if not rect(x, y, 0.22 + px, 0.22 + px, 0.78 - px, 0.78 - px):
            return BLACK
        return SILVER if rect(x, y, 0.36, 0.36, 0.64, 0.64) else CHARCOAL
    pitch = max(0.12, 2 * px)
    along = x if rect(x, y, 0.26, 0.06, 0.74, 0.94) else y if rect(x, y, 0.06, 0.26, 0.94, 0.74) else None
    if along is not None and ((along - 0.26) / pitch) % 1 < 0.5:
        return GOLD
    return None


def keyboard(x, y, px):
    """Keyboard: keys in rows."""
    shape = framed(x, y, 0.02, 0.28, 0.98, 0.76, DARKGREY, GREY, px)
    if shape == GREY:
        step = max(0.12, 2 * px)
        kx, ky = (x - 0.06) / step, (y - 0.32) / step
        if kx >= 0 and ky >= 0 and rect(x, y, 0.06, 0.32, 0.94, 0.72):
            if int(ky) == 3:  # the space bar row
                return WHITE if rect(x, y, 0.28, 0.32, 0.72, 1) else GREY
            if kx - int(kx) < 0.75 and ky - int(ky) < 0.75:
                return WHITE
    return shape


def monitor(x, y, px, screen=SKY):
    """Screen resolution: a monitor on its stand."""
    if rect(x, y, 0.04, 0.10, 0.96, 0.72):
        if not rect(x, y, 0.04 + 2 * px, 0.10 + 2 * px, 0.96 - 2 * px, 0.72 - 2 * px):
            return CHARCOAL
        return screen
    if rect(x, y, 0.42, 0.72, 0.58, 0.84):
        return DARKGREY
    if rect(x, y, 0.24, 0.84, 0.76, 0.84 + max(px * 1.5, 0.06)):
        return CHARCOAL
    return None


def network(x, y, px):
    """IP address: three computers joined by cables."""
    nodes = ((0.5, 0.22), (0.20, 0.76), (0.80, 0.76))
    for cx, cy in nodes:
        if rect(x, y, cx - 0.15, cy - 0.13, cx + 0.15, cy + 0.13):
            if not rect(x, y, cx - 0.15 + px, cy - 0.13 + px, cx + 0.15 - px, cy + 0.13 - px):
                return NAVY
            return SKY
    width = max(px * 0.8, 0.035)
    for (ax, ay), (bx, by) in ((nodes[0], nodes[1]), (nodes[0], nodes[2]), (nodes[1], nodes[2])):
        dx, dy = bx - ax, by - ay
        t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)
        if 0 <= t <= 1 and ((x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2) ** 0.5 < width:
            return ORANGE
    return None


def banner(x, y, px):
    """The banner's picture: a computer with an information badge."""
    if circle(x, y, 0.74, 0.66, 0.24):
        if not circle(x, y, 0.74, 0.66, 0.24 - px):
            return NAVY
        if circle(x, y, 0.74, 0.53, 0.035) or rect(x, y, 0.71, 0.60, 0.77, 0.80):
            return BRIGHT
        return BLUE
    return monitor(x, y, px)


ROW_ICONS = [('os', os_window), ('user', user), ('memory', memory), ('drive', drive), ('browser', browser),
             ('processor', processor), ('keyboard', keyboard), ('screen', monitor), ('network', network)]


def write_all(folder):
    for name, shape in ROW_ICONS:
        write_ico(f'{folder}/{name}.ico', shape, (16, 24, 32), COLOURS)
    write_ico(f'{folder}/banner.ico', banner, (32, 48, 96), COLOURS)
