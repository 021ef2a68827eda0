#!/usr/bin/env python3
"""Writes the HTML reference of the toolbox into OUTDIR.

    tools/make_doc.py MEXDIR OUTDIR

One texinfo document is assembled from the texinfo help of toolbox/*.m and
split by makeinfo into one page per node: index.html (the groups of
`help wavetide`, every function linked), one page per function (its help,
the "See also" names linked, its %!demo blocks as code) and Demo.html (each
section of toolbox/demo run into OUTDIR/demo, its figures beside the text it
prints). MEXDIR holds the built plug-ins and toolbox files the demo runs on.
Pages are static: relative links, one inline stylesheet, no script.
"""
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TOOLBOX = os.path.join(ROOT, "toolbox")
NOT_FUNCTIONS = {"Contents"}  # a listing for the host's help, not a function


def functions():
    """The functions of the toolbox, by name: every toolbox/*.m but the listings."""
    return sorted(f[:-2] for f in os.listdir(TOOLBOX) if f.endswith(".m") and f[:-2] not in NOT_FUNCTIONS)


def escape(text):
    """Plain text as texinfo."""
    return re.sub(r"([@{}])", r"@\1", text)


def comment_block(path):
    """The first comment block of an .m file (after a leading function
    line, as the host reads it), comment marks and one space removed."""
    lines, block = open(path, encoding="utf-8").read().split("\n"), []
    i = 0
    while i < len(lines) and (not lines[i].strip() or lines[i].lstrip().startswith("function")):
        i += 1
    while i < len(lines) and re.match(r"\s*[#%](?!!)", lines[i]):
        block.append(re.sub(r"^\s*[#%]+ ?", "", lines[i]))
        i += 1
    return "\n".join(block)


def help_text(path):
    """The help of an .m file as texinfo; plain help as an example block."""
    text = comment_block(path)
    if "-*- texinfo -*-" not in text:
        return "@example\n%s\n@end example" % escape(text)
    return text.split("-*- texinfo -*-", 1)[1].strip("\n")


def demo_blocks(path):
    """The code of each %!demo block of an .m file."""
    blocks, current = [], None
    for line in open(path, encoding="utf-8").read().split("\n"):
        if line.startswith("%!demo"):
            current = []
            blocks.append(current)
        elif line.startswith("%!") and not re.match(r"%![a-z]", line) and current is not None:
            current.append(line[3:])
        else:
            current = None
    return ["\n".join(b).strip("\n") for b in blocks if b]


def first_sentence(help):
    """The first sentence of a help text after its call forms."""
    body = "\n".join(l for l in help.split("\n")
                     if not re.match(r"@(deftypefnx?|example|end example)\b", l))
    para = body.strip().split("\n\n")[0]
    m = re.match(r"(.+?\.)(\s|$)", para, re.S)
    return (m.group(1) if m else para).replace("\n", " ")


def link_seealso(help, names):
    """@seealso{a, b} as a "See also" line linking the toolbox's own names."""
    def links(m):
        items = [n.strip() for n in m.group(1).split(",") if n.strip()]
        return "\n@noindent\n@strong{See also:} %s.\n" % ", ".join(
            "@ref{%s}" % n if n in names else "@code{%s}" % n for n in items)
    return re.sub(r"@seealso\{([^}]*)\}", links, help)


def groups(overview):
    """(heading, remark, [(name, description)]) for each @strong heading of
    the overview followed by a @table of functions."""
    found = []
    for m in re.finditer(r"@strong\{([^}]*)\}(.*?)@table @\w+\n(.*?)@end table", overview, re.S):
        remark = m.group(2).strip()
        remark = remark[1:-1] if remark.startswith("(") and remark.endswith(")") else remark
        items = re.findall(r"^@item\s+(\S+)\n(.*?)(?=^@item|\Z)", m.group(3), re.S | re.M)
        found.append((m.group(1), remark, [(n, d.strip()) for n, d in items]))
    return found


def run_demo(mexdir, outdir):
    """Runs every demo section into outdir/demo; returns (topic, output)."""
    demo = os.path.join(TOOLBOX, "demo")
    script = "addpath('%s'); addpath('%s'); wavetide_demo('demo')" % (os.path.abspath(mexdir), demo)
    run = subprocess.run(["octave-cli", "--no-gui", "--norc", "-q", "--eval", script],
                         cwd=outdir, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    noise = "ignoring const execution_exception"
    sys.stderr.write("".join(l for l in run.stderr.splitlines(True) if noise not in l))
    if run.returncode != 0:
        sys.exit("make_doc: the demo failed")
    return re.findall(r"^== (\S+) ==\n(.*?)(?=^== |\Z)", run.stdout, re.S | re.M)


def demo_node(sections):
    out = ["@node Demo", "@unnumbered Demo",
           "@code{wavetide_demo} runs every section below, each a function "
           "@code{demo_@var{topic}} of @file{toolbox/demo}: what it prints, "
           "and the figures it draws."]
    for topic, output in sections:
        path = os.path.join(TOOLBOX, "demo", "demo_%s.m" % topic)
        text = [l for l in output.rstrip("\n").split("\n") if not l.startswith("figures written")]
        out += ["", "@section %s" % topic.replace("_", " "), escape(comment_block(path)), "",
                "@verbatim", "\n".join(text), "@end verbatim"]
        for png, caption in re.findall(r"^figure: (\S+\.png) \((.*)\)$", output, re.M):
            out += ["", "@image{%s,,,%s,.png}" % (png[:-4], escape(caption).replace(",", "@comma{}")),
                    "@center @emph{%s}" % escape(caption)]
    return "\n".join(out)


STYLE = """
body {max-width: 60em; margin: 0 auto; padding: 0 1.5em 2em; font: 16px/1.5 sans-serif; color: #222}
h1, h2, h3, h4 {font-weight: 600; color: #124}
h1 {font-size: 1.8em} h2 {font-size: 1.5em; border-bottom: 1px solid #ccd} h3 {font-size: 1.2em; margin-top: 1.6em}
a {color: #0645ad; text-decoration: none} a:hover {text-decoration: underline}
code, var, pre, kbd, samp {font-family: "DejaVu Sans Mono", monospace; font-size: 0.92em}
pre.example, pre.verbatim {background: #f4f5f8; border: 1px solid #dde; padding: 0.6em 0.9em; overflow-x: auto; line-height: 1.35}
pre.verbatim {white-space: pre-wrap}
dl dl > dt {margin-top: 0.5em}
div.example {margin-left: 0}
div.header {font-size: 0.9em; color: #555}
dl.def > dt {font-family: "DejaVu Sans Mono", monospace; background: #eef2f8; padding: 0.3em 0.6em; border-left: 3px solid #124}
dl.def > dt strong {color: #124}
dl.def > dd {margin-left: 0; margin-top: 0.8em}
span.category {display: none}
h1.settitle, div.top ul.section-toc {display: none}
div.top dl {display: grid; grid-template-columns: max-content 1fr; gap: 0.15em 1.5em; margin: 0.4em 0 0 1em}
div.top dd {margin: 0} div.top dd p {margin: 0}
div.top h3 + p {color: #555; margin-top: -0.6em}
img {max-width: 100%; height: auto; border: 1px solid #dde; display: block; margin: 1em auto 0.3em}
div.center {text-align: center; color: #444}
"""


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    mexdir, outdir = sys.argv[1], sys.argv[2]
    names = functions()
    helps = {n: help_text(os.path.join(TOOLBOX, n + ".m")) for n in names}

    grouped = groups(helps.get("wavetide", ""))
    listed = [n for _, _, items in grouped for n, _ in items if n in helps]
    others = [n for n in names if n not in listed]
    index = ["@node Top", "@top Wavetide reference",
             first_sentence(helps.get("wavetide", "")) + "  Every function of the toolbox "
             "has a page with its call forms, formula, layout and examples; @ref{wavetide} "
             "is the overview that @code{help wavetide} prints, and @ref{Demo} shows the "
             "figures of the demo with the text of each section."]
    for heading, remark, items in grouped + [("Other", "", [(n, first_sentence(helps[n])) for n in others])]:
        index += ["", "@heading " + heading] + ([remark, ""] if remark else [])
        index += ["@table @code"]
        index += ["@item @ref{%s}\n%s" % (n, d) for n, d in items if n in helps]
        index += ["@end table"]

    pages = []
    for n in listed + others:
        page = ["@node %s" % n, "@unnumbered %s" % n, link_seealso(helps[n], helps)]
        for code in demo_blocks(os.path.join(TOOLBOX, n + ".m")):
            page += ["", "@subheading Demo", "Run it with @code{demo %s}:" % n,
                     "@example", escape(code), "@end example"]
        pages.append("\n".join(page))

    figures = os.path.join(outdir, "demo")
    os.makedirs(figures, exist_ok=True)
    for f in os.listdir(figures):
        os.remove(os.path.join(figures, f))
    demo = demo_node(run_demo(mexdir, outdir))
    document = "\n\n".join(["\\input texinfo", "@settitle Wavetide reference",
                            "@macro qcode{arg}\n@code{\\arg\\}\n@end macro",
                            "@macro nospell{arg}\n\\arg\\\n@end macro",
                            "\n".join(index)] + pages + [demo, "@bye\n"])
    with tempfile.TemporaryDirectory() as tmp:
        texi, css = os.path.join(tmp, "wavetide.texi"), os.path.join(tmp, "style.css")
        open(texi, "w", encoding="utf-8").write(document)
        open(css, "w").write(STYLE)
        for f in os.listdir(outdir):
            if f.endswith(".html"):
                os.remove(os.path.join(outdir, f))
        run = subprocess.run(["makeinfo", "--html", "--split=node", "--no-number-sections",
                              "--css-include=" + css, "-I", outdir, "-o", outdir, texi])
        if run.returncode != 0:
            sys.exit("make_doc: makeinfo failed")
    print("reference: %s/index.html (%d functions, %d demo sections)"
          % (outdir, len(names), demo.count("@section")))


if __name__ == "__main__":
    main()
