<?xml version="1.0" encoding="UTF-8"?>
<!--
  Layout of the HTML report: one HTML5 page made from the report's page document (header,
  then pages with their sections). A header names the machine, the time and the program
  version; a table of contents leads to every page and section; a section without rows shows
  the reason instead of an empty table. Every section table has the same three columns of the
  same widths. Colours follow the browser's light or dark theme.
  The %REP_...% placeholders are replaced with the report texts of the user's language
  before the sheet is parsed. Parameters: "lang" (HTML language code, may be empty) and
  "product" (the product name). The writer puts the HTML5 doctype in front; the
  serializer adds the character set to the head.
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="UTF-8" indent="yes"/>
  <xsl:param name="lang" select="''"/>
  <xsl:param name="product" select="''"/>

  <xsl:template name="header-row">
    <xsl:param name="caption"/>
    <xsl:param name="value"/>
    <xsl:if test="string($value) != ''">
      <tr><th scope="row"><xsl:value-of select="$caption"/></th><td><xsl:value-of select="$value"/></td></tr>
    </xsl:if>
  </xsl:template>

  <xsl:template match="/report">
    <xsl:variable name="program" select="string(header/program)"/>
    <html>
      <xsl:attribute name="lang">
        <xsl:choose>
          <xsl:when test="$lang != ''"><xsl:value-of select="$lang"/></xsl:when>
          <xsl:otherwise>en</xsl:otherwise>
        </xsl:choose>
      </xsl:attribute>
      <head>
        <meta name="viewport" content="width=device-width, initial-scale=1"/>
        <meta name="color-scheme" content="light dark"/>
        <title><xsl:value-of select="$program"/> %REP_REPORT%</title>
        <style>
          :root { color-scheme: light dark; --fg: #1f1f1f; --bg: #ffffff; --muted: #5f6368;
                  --rule: #d9dce1; --head: #eef1f5; --accent: #2f5a8a; }
          @media (prefers-color-scheme: dark) {
            :root { --fg: #e6e6e6; --bg: #1b1c1e; --muted: #a5a9b0; --rule: #3b3e44;
                    --head: #272a30; --accent: #8ab4f8; }
          }
          body { font-family: system-ui, "DejaVu Sans", sans-serif; font-size: 10pt;
                 color: var(--fg); background: var(--bg); margin: 1.5em auto; max-width: 70em;
                 padding: 0 1em; }
          a { color: var(--accent); }
          h1 { font-size: 16pt; margin-bottom: 0.3em; }
          h2 { font-size: 13pt; color: var(--accent); border-bottom: 2px solid var(--accent);
               margin-top: 2em; }
          h3 { font-size: 10.5pt; margin: 1.2em 0 0.3em; }
          table { width: 100%; table-layout: fixed; border-collapse: collapse; }
          th, td { text-align: left; vertical-align: top; padding: 2pt 6pt;
                   border-bottom: 1px solid var(--rule); overflow-wrap: anywhere; }
          thead th { background: var(--head); }
          col.name { width: 35%; }
          col.value { width: 45%; }
          col.comment { width: 20%; }
          table.header th { width: 35%; font-weight: normal; color: var(--muted); }
          p.empty { color: var(--muted); font-style: italic; margin: 0.2em 6pt; }
          nav ol { margin: 0.2em 0; }
          footer { margin-top: 2em; border-top: 1px solid var(--rule); color: var(--muted); }
        </style>
      </head>
      <body>
        <header>
          <h1><xsl:value-of select="$program"/></h1>
          <table class="header">
            <xsl:call-template name="header-row">
              <xsl:with-param name="caption">%REP_COMPUTER%</xsl:with-param>
              <xsl:with-param name="value" select="header/systemname"/>
            </xsl:call-template>
            <xsl:call-template name="header-row">
              <xsl:with-param name="caption">%REP_GENERATED%</xsl:with-param>
              <xsl:with-param name="value" select="header/generated"/>
            </xsl:call-template>
            <xsl:call-template name="header-row">
              <xsl:with-param name="caption">%REP_VERSION%</xsl:with-param>
              <xsl:with-param name="value" select="header/version"/>
            </xsl:call-template>
            <xsl:call-template name="header-row">
              <xsl:with-param name="caption">%REP_USER%</xsl:with-param>
              <xsl:with-param name="value" select="header/user"/>
            </xsl:call-template>
            <xsl:call-template name="header-row">
              <xsl:with-param name="caption">%REP_SYSINFO_WINVER%</xsl:with-param>
              <xsl:with-param name="value" select="header/winversion"/>
            </xsl:call-template>
            <xsl:call-template name="header-row">
              <xsl:with-param name="caption">%REP_SYSINFO_PROCNAME%</xsl:with-param>
              <xsl:with-param name="value" select="header/processorname"/>
            </xsl:call-template>
            <xsl:call-template name="header-row">
              <xsl:with-param name="caption">%REP_SYSINFO_MEMORY%</xsl:with-param>
              <xsl:with-param name="value" select="header/installedmemory"/>
            </xsl:call-template>
          </table>
        </header>
        <nav>
          <h2>%REP_CONTENTS%</h2>
          <ol>
            <xsl:for-each select="pages/page">
              <li>
                <a href="#page-{key}"><xsl:value-of select="caption"/></a>
                <ol>
                  <xsl:for-each select="sections/section">
                    <li><a href="#{../../key}-{id}"><xsl:value-of select="title"/></a></li>
                  </xsl:for-each>
                </ol>
              </li>
            </xsl:for-each>
          </ol>
        </nav>
        <main>
          <xsl:for-each select="pages/page">
            <section id="page-{key}">
              <h2><xsl:value-of select="caption"/></h2>
              <xsl:for-each select="sections/section">
                <section id="{../../key}-{id}">
                  <h3><xsl:value-of select="title"/></h3>
                  <xsl:choose>
                    <xsl:when test="items">
                      <table>
                        <colgroup><col class="name"/><col class="value"/><col class="comment"/></colgroup>
                        <thead>
                          <tr><th scope="col">%REP_NAME%</th><th scope="col">%REP_VALUE%</th><th scope="col">%REP_ADD%</th></tr>
                        </thead>
                        <tbody>
                          <xsl:for-each select="items/item">
                            <tr>
                              <td><xsl:value-of select="name"/></td>
                              <td><xsl:value-of select="normalize-space(param)"/></td>
                              <td><xsl:value-of select="advanced"/></td>
                            </tr>
                          </xsl:for-each>
                        </tbody>
                      </table>
                    </xsl:when>
                    <xsl:otherwise>
                      <p class="empty"><xsl:value-of select="empty"/></p>
                    </xsl:otherwise>
                  </xsl:choose>
                </section>
              </xsl:for-each>
            </section>
          </xsl:for-each>
        </main>
        <footer>
          <p><xsl:value-of select="$program"/><xsl:text> </xsl:text><xsl:value-of select="header/version"/></p>
        </footer>
      </body>
    </html>
  </xsl:template>
</xsl:stylesheet>
