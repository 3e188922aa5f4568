"""Preview pictures of the default skin, composed with PIL from the files that
make_skin.py wrote, read back as the toolkit reads them (the skin file's items,
the strips' frame rules). For looking at the art; the product never uses them.
"""

import os
import xml.etree.ElementTree as ET

from PIL import Image, ImageDraw

import make_skin as mk

CHECKER = ((0xCC, 0xCC, 0xCC, 255), (0x99, 0x99, 0x99, 255))


def checkerboard(w, h, cell=8):
    board = Image.new("RGBA", (w, h), CHECKER[0])
    d = ImageDraw.Draw(board)
    for y in range(0, h, cell):
        for x in range(0, w, cell):
            if (x // cell + y // cell) % 2:
                d.rectangle([x, y, x + cell - 1, y + cell - 1], fill=CHECKER[1])
    return board


def read_section(skin_file, name):
    section = ET.parse(skin_file).getroot().find("CommonWindow").find(name)
    info = {e.get("ItemID"): e.get("Data") for e in section.find("WindowInfo")}
    items = [dict(e.attrib) for e in section.find("DynamicInfo")]
    return info, items


def number(text, default=0):
    if not text:
        return default
    return int(text, 16) if text.upper().startswith("0X") else int(text)


def rect(text):
    x, y, w, h = (int(v) for v in text.split(","))
    return x, y, w, h


def colour(text):
    value = number(text.split(";")[0])
    return ((value >> 16) & 255, (value >> 8) & 255, value & 255, value >> 24)


def draw_text(canvas, box, text, size, rgba, fmt):
    """Approximates the controls' GDI+ text: alignment, line alignment and
    word wrapping inside the box; & marks an underlined letter."""
    style, align, line_align = (fmt + [0, 1, 1])[:3]
    text = text.replace("&", "")
    f = mk.font(size, bold=bool(style & 1))
    x, y, w, h = box
    d = ImageDraw.Draw(canvas)
    lines, current = [], ""
    for word in text.split(" "):
        trial = (current + " " + word).strip()
        if current and d.textlength(trial, font=f) > w:
            lines.append(current)
            current = word
        else:
            current = trial
    lines.append(current)
    line_h = round(size * 1.17)
    total = line_h * len(lines)
    top = y + [0, (h - total) / 2, h - total][line_align]
    for i, line in enumerate(lines):
        lw = d.textlength(line, font=f)
        left = x + [2, (w - lw) / 2, w - lw - 2][align]
        d.text((left, top + i * line_h), line, font=f, fill=rgba)


def button_kind(style):
    s = style & 0xFF
    return "check" if s & 3 == 3 else "radio" if s & 9 == 9 else "push"


def compose_page(skin_dir, info, items, states):
    """The page as the dialog base builds it: background, then each item."""
    images = os.path.join(skin_dir, "default")
    sheet = tuple(int(v) for v in info["SheetSize"].split(","))
    page = Image.new("RGBA", sheet, (0, 0, 0, 255))
    page.alpha_composite(Image.open(os.path.join(images, info["BackBmp"].replace("\\", "/"))))
    default_size = number(info.get("FontSize"), 12)
    for it in items:
        x, y, w, h = rect(it["Pos"])
        size = number(it.get("FontSize"), 0) or default_size
        rgba = colour(it.get("FontColor") or info["FontColor"])
        fmt = [number(t) for t in (it.get("FontFormat") or info["FontFormat"]).split(";")]
        piece = Image.new("RGBA", (w, h), (0, 0, 0, 0))
        load = lambda key: Image.open(os.path.join(images, it[key].replace("\\", "/")))  # noqa
        state = states.get(it["ID"], 0)
        if it["ControlType"] == "1":
            if "BkImg" in it:
                piece.alpha_composite(load("BkImg").crop((0, 0, w, h)))
            draw_text(piece, (0, 0, w, h), it.get("Name", ""), size, rgba, fmt)
        else:
            kind = button_kind(number(it.get("ControlStyle")))
            strip_image = load("BkImg") if "BkImg" in it else None
            if kind == "push":
                if strip_image:
                    piece.alpha_composite(strip_image.crop((state * w, 0, state * w + w, h)))
                icon = load("Icon") if "Icon" in it else None
                caption = it.get("Name", "")
                if icon and caption:
                    probe = ImageDraw.Draw(piece)
                    tw = round(probe.textlength(caption.replace("&", ""),
                                                font=mk.font(size, bool(fmt[0] & 1))))
                    ix = int((w - tw - icon.width - 3) / 2)
                    piece.alpha_composite(icon, (ix, int((h - icon.height) / 2)))
                    box = (ix + icon.width + 3, 0, w - ix - icon.width - 3, h)
                    draw_text(piece, box, caption, size, rgba, fmt)
                elif icon:
                    piece.alpha_composite(icon, ((w - icon.width) // 2, (h - icon.height) // 2))
                else:
                    draw_text(piece, (0, 0, w, h), caption, size, rgba, fmt)
            else:
                fw = strip_image.width // 8
                frame = strip_image.crop((state * fw, 0, state * fw + fw, strip_image.height))
                piece.alpha_composite(frame, (0, int((h - strip_image.height) / 2)))
                draw_text(piece, (fw + 3, 0, w - fw - 3, h), it.get("Name", ""), size, rgba, fmt)
        page.alpha_composite(piece, (x, y))
    return page


def compose_container(skin_dir, info, items, page, close_state):
    images = os.path.join(skin_dir, "default")
    sheet = tuple(int(v) for v in info["SheetSize"].split(","))
    picture = checkerboard(*sheet)
    picture.alpha_composite(Image.open(os.path.join(images, info["BackBmp"].replace("\\", "/"))))
    for it in items:
        x, y, _, _ = rect(it["Pos"])
        strip_image = Image.open(os.path.join(images, it["BkImg"].replace("\\", "/")))
        fw = strip_image.width // 4
        picture.alpha_composite(strip_image.crop((close_state * fw, 0, close_state * fw + fw,
                                                  strip_image.height)), (x, y))
    child = tuple(int(v) for v in info["ChildPos"].split(","))
    picture.alpha_composite(page, child)
    return picture


def enlarged_sheet(skin_dir, names, scale=4, gap=12):
    """Each named picture enlarged over a checkerboard, one under the other."""
    images = [Image.open(os.path.join(skin_dir, "default", n)).convert("RGBA") for n in names]
    width = max(im.width for im in images) * scale + 2 * gap
    height = sum(im.height * scale + gap for im in images) + gap
    out = Image.new("RGBA", (width, height), (0xFF, 0xFF, 0xFF, 255))
    y = gap
    for im in images:
        big = im.resize((im.width * scale, im.height * scale), Image.NEAREST)
        board = checkerboard(big.width, big.height, cell=scale * 4)
        board.alpha_composite(big)
        out.alpha_composite(board, (gap, y))
        y += big.height + gap
    return out


def write_previews(skin_dir, out_dir):
    os.makedirs(out_dir, exist_ok=True)
    skin_file = os.path.join(skin_dir, "Kelvane.xml")
    c_info, c_items = read_section(skin_file, "MainDlgInfo")
    p_info, p_items = read_section(skin_file, "DemoPage")
    page = compose_page(skin_dir, p_info, p_items, {"CHK_DETAILS": 4, "RAD_TEAL": 4})
    hot_page = compose_page(skin_dir, p_info, p_items,
                            {"CHK_DETAILS": 1, "RAD_AMBER": 5, "BTN_MESSAGE": 1, "BTN_EXIT": 2,
                             "BTN_ABOUT": 1})
    normal = compose_container(skin_dir, c_info, c_items, page, 0)
    hot = compose_container(skin_dir, c_info, c_items, hot_page, 1)
    both = Image.new("RGBA", (normal.width * 2 + 16, normal.height), (255, 255, 255, 255))
    both.alpha_composite(normal)
    both.alpha_composite(hot, (normal.width + 16, 0))
    both.save(os.path.join(out_dir, "container.png"))
    enlarged_sheet(skin_dir, ["container/close.png", "buttons/check.png", "buttons/radio.png",
                              "buttons/round.png"]).save(os.path.join(out_dir, "strips.png"))
    enlarged_sheet(skin_dir, ["buttons/primary.png", "buttons/secondary.png"], scale=2).save(
        os.path.join(out_dir, "push.png"))
    icons = ["icons/info.png", "icons/message.png", "icons/close.png", "cursors/dropper.cur",
             "icons/kelvane.ico"]
    enlarged_sheet(skin_dir, icons, scale=6).save(os.path.join(out_dir, "icons.png"))
    enlarged_sheet(skin_dir, ["swatch/%s.png" % k.lower() for k, _, _ in mk.SWATCHES] +
                   ["page/banner.png"], scale=1).save(os.path.join(out_dir, "swatches.png"))
